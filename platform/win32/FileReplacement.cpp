// The Windows steps of a file replacement: the only permission a file has
// there is its read-only attribute, which a new file does not have, and the
// move is MoveFileExW, which replaces the target and is on the disk when it
// returns. Every temporary file has a name; nothing removes it when the
// process is ended from outside.

#include <cerrno>
#include <windows.h>

#include "platform/FileReplacementSystem.h"
#include "platform/Paths.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/WinError.h"

namespace moxtrel::platform::system {

// Windows would refuse the move over a read-only file only at the end, after
// all the work; it is refused up front instead, as on POSIX.
int CheckReplaceable(const std::string& target) {
    const std::optional<std::wstring> wide = Widen(target);
    if (!wide) return 0;  // the move reports the name
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    return (attributes & FILE_ATTRIBUTE_READONLY) ? EACCES : 0;
}

// A new file is writable, as any new file, and a target that is not
// read-only has no other permission to keep.
int CreateTemporary(const std::string& target, const std::string& prefix, FileReplacement::NewFileAccess,
                    File& output, ReplacementTemporary& temporary) {
    if (!output.OpenTemporary(FolderOf(target), prefix)) return output.LastOsError();
    temporary = {output.GetFilePath(), true, -1};
    return 0;
}

void RemoveTemporary(File& output, ReplacementTemporary& temporary) noexcept {
    try {
        output.Close();
    } catch (const FileError&) {
    }
    if (temporary.named) RemoveFile(temporary.path);
    temporary.named = false;
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

int MoveOver(File& output, ReplacementTemporary& temporary, const std::string& target) {
    try {
        output.Close();
    } catch (const FileError& error) {
        return error.OsError();
    }
    const std::optional<std::wstring> from = Widen(temporary.path);
    const std::optional<std::wstring> to = Widen(target);
    if (!from || !to) return EILSEQ;
    // Readers hold a file for moments; the move is tried again for up to
    // about two seconds before the target counts as held for good.
    constexpr int Attempts = 100;
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(from->c_str(), to->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            temporary.named = false;
            return 0;
        }
        const DWORD error = ::GetLastError();
        if (attempt == Attempts || !TargetBusy(error, *to)) return ErrnoFromWin32(error);
        ::Sleep(20);
    }
}

}  // namespace moxtrel::platform::system
