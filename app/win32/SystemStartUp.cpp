#include "app/SystemStartUp.h"

#include <cstdio>
#include <optional>

#include <windows.h>

#include "platform/win32/Unicode.h"

namespace moxtrel {

namespace {

// A file or pipe the starting program handed over as standard output; a
// console handle does not count, since the window subsystem's program is not
// attached to it.
bool HasRedirectedOutput() {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    return ::GetFileType(output) != FILE_TYPE_UNKNOWN && !::GetConsoleMode(output, &mode);
}

bool WriteToConsole(const std::wstring& text) {
    const HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
    ::CloseHandle(console);
    return ok;
}

}  // namespace

// A missing medium (an empty optical drive, a card reader without a card)
// would otherwise stop the program with the system's "no disk" box each time
// the drives are listed or searched.
void PrepareSystem(const char*) { ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

void ShowProgramText(const std::string& text) {
    if (HasRedirectedOutput()) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
        return;
    }
    const std::wstring wide = platform::Widen(text).value_or(L"");
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
        // The console's prompt was printed before this text; a new line
        // first keeps the text off the prompt's line.
        const bool written = WriteToConsole(L"\r\n" + wide);
        ::FreeConsole();
        if (written) return;
    }
    ::MessageBoxW(nullptr, wide.c_str(), L"Moxtrel", MB_OK | MB_ICONINFORMATION);
}

}  // namespace moxtrel
