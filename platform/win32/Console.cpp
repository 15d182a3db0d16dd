#include "platform/Console.h"

#include <io.h>
#include <windows.h>

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

}  // namespace moxtrel::platform
