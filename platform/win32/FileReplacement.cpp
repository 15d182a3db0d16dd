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

int MoveOver(const std::string& temporary, const std::string& target) {
    const std::optional<std::wstring> from = Widen(temporary);
    const std::optional<std::wstring> to = Widen(target);
    if (!from || !to) return EILSEQ;
    if (!::MoveFileExW(from->c_str(), to->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return ErrnoFromWin32(::GetLastError());
    }
    return 0;
}

}  // namespace moxtrel::platform::system
