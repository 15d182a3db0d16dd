// Directory listings over FindFirstFileExW. A reparse point (a symbolic
// link, a junction, a folder where another volume is mounted) is never a
// directory here and cannot be opened for listing, so neither the tree nor
// the scan leaves the volume it is on or walks in a circle.

#include "platform/DirectoryListing.h"

#include <windows.h>

#include "platform/Paths.h"
#include "platform/win32/Unicode.h"

namespace moxtrel::platform {

namespace {

// The volume's serial and the folder's index on it, as a device and inode
// pair; false when `path` is no folder of its own (missing, a file, a
// reparse point).
bool IdentifyFolder(const std::string& path, std::uint64_t& device, std::uint64_t& inode) {
    const std::optional<std::wstring> wide = Widen(path);
    if (!wide) return false;
    HANDLE handle = ::CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    if (!known || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return false;
    }
    device = info.dwVolumeSerialNumber;
    inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

bool IsDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

struct DirectoryListing::State {
    HANDLE search = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW pending{};  // found and not yet handed out
    bool hasPending = false;
    std::string name;            // the entry handed out last
};

DirectoryListing::DirectoryListing() = default;

DirectoryListing::~DirectoryListing() {
    Close();
}

VolumeFence::VolumeFence(const std::string& root, const std::vector<std::string>&)
    : m_open(false), m_root(WithoutTrailingSeparator(root)) {
    // Mounted folders are reparse points, which listings never enter, so the
    // volume's serial alone keeps a listing on its volume.
    std::uint64_t inode = 0;
    m_valid = IdentifyFolder(WithTrailingSlash(m_root), m_device, inode);
}

bool DirectoryListing::Open(const std::string& path, const VolumeFence& fence) {
    Close();
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    if (!IdentifyFolder(path, device, inode) || !fence.Admits(path, device)) return false;
    const std::optional<std::wstring> pattern = Widen(JoinPath(path, "*"));
    if (!pattern) return false;
    auto state = std::make_unique<State>();
    state->search = ::FindFirstFileExW(pattern->c_str(), FindExInfoBasic, &state->pending, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (state->search == INVALID_HANDLE_VALUE) {
        // An empty folder has no entries at all (not even "." on some file systems).
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    } else {
        state->hasPending = true;
    }
    m_state = std::move(state);
    m_device = device;
    m_inode = inode;
    return true;
}

bool DirectoryListing::Next(DirectoryEntry& entry) {
    if (!m_state) return false;
    State& state = *m_state;
    while (state.hasPending) {
        const WIN32_FIND_DATAW found = state.pending;
        state.hasPending = ::FindNextFileW(state.search, &state.pending) != 0;
        if (IsDotOrDotDot(found.cFileName)) continue;
        // A name that UTF-8 cannot carry (a lone surrogate) cannot be opened
        // through the program's paths either; it is passed over.
        std::optional<std::string> name = Narrow(found.cFileName);
        if (!name) continue;
        state.name = std::move(*name);
        entry.name = state.name;
        entry.isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        return true;
    }
    return false;
}

void DirectoryListing::Close() {
    if (m_state && m_state->search != INVALID_HANDLE_VALUE) ::FindClose(m_state->search);
    m_state.reset();
}

}  // namespace moxtrel::platform
