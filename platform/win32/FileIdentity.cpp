#include "platform/FileIdentity.h"

#include <windows.h>

#include "platform/win32/Unicode.h"

namespace moxtrel::platform {

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    std::optional<std::wstring> wide = Widen(path);
    if (!wide) return std::nullopt;
    // No access is asked for: the handle only answers what the file is, and
    // FILE_FLAG_BACKUP_SEMANTICS lets it be a folder too.
    HANDLE handle = ::CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    if (!known) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace moxtrel::platform
