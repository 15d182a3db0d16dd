#include "platform/Console.h"

#include <cstdlib>

#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include "platform/win32/Unicode.h"

namespace moxtrel::platform {

namespace {

HANDLE HandleOf(std::FILE* stream) {
    const int descriptor = ::_fileno(stream);
    if (descriptor < 0) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
}

}  // namespace

// _isatty is true for any character device, the NUL device included; only a
// console answers GetConsoleMode.
bool IsTerminal(std::FILE* stream) {
    const HANDLE handle = HandleOf(stream);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

// The width of the visible window, not of the screen buffer, which is often
// far wider than what the user sees.
std::optional<int> TerminalColumns(std::FILE* stream) {
    const HANDLE handle = HandleOf(stream);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleScreenBufferInfo(handle, &info)) return std::nullopt;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    if (columns <= 0) return std::nullopt;
    return columns;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) {
        std::optional<std::string> argument = Narrow(wide[i]);
        if (!argument) break;
        arguments.push_back(std::move(*argument));
    }
    if (wide) ::LocalFree(wide);
    // Should the wide line fail, or not match what the C library saw, argv is all there is.
    if (static_cast<int>(arguments.size()) != argc) arguments.assign(argv, argv + argc);
    return arguments;
}

void UseUtf8Console() {
    // The console's code page belongs to the console window, which outlives
    // the program: it is put back when the program ends.
    static const UINT previous = ::GetConsoleOutputCP();
    if (previous == 0 || previous == CP_UTF8) return;
    if (::SetConsoleOutputCP(CP_UTF8)) std::atexit([] { ::SetConsoleOutputCP(previous); });
}

}  // namespace moxtrel::platform
