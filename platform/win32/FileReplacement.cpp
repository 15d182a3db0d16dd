// The Windows steps of a file replacement: the only permission a file has
// there is its read-only attribute, and the move is MoveFileExW, which
// replaces the target and is on the disk when it returns.

#include <cerrno>
#include <windows.h>

#include "platform/FileReplacementSystem.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/WinError.h"

namespace moxtrel::platform::system {

// A new file needs nothing: it is writable, as any new file. A file that
// keeps its target's permissions would take its read-only attribute, but a
// read-only target cannot be replaced, so the replacement fails at the move
// and leaves the target whole, as a write-protected file on POSIX does.
bool ApplyPermissions(File&, const std::string&, FileReplacement::Permissions) {
    return true;
}

namespace {

// Whether the move failed only because someone has the target open right
// now (a reader of the registry store, a virus scanner): Windows refuses to
// replace an open file, where POSIX replaces the name under the reader.
bool TargetBusy(DWORD error, const std::wstring& target) {
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) return false;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    // A read-only file or a folder stays so however long one waits.
    return attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace

int MoveOver(const std::string& temporary, const std::string& target) {
    const std::optional<std::wstring> from = Widen(temporary);
    const std::optional<std::wstring> to = Widen(target);
    if (!from || !to) return EILSEQ;
    // Readers hold a file for moments; the move is tried again for up to
    // about two seconds before the target counts as held for good.
    constexpr int Attempts = 100;
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(from->c_str(), to->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
        const DWORD error = ::GetLastError();
        if (attempt == Attempts || !TargetBusy(error, *to)) return ErrnoFromWin32(error);
        ::Sleep(20);
    }
}

}  // namespace moxtrel::platform::system
