#include "platform/DirectoryListing.h"

#include <algorithm>

#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace moxtrel::platform {

VolumeFence::VolumeFence(std::string root, std::uint64_t device, std::vector<std::string> mountPoints)
    : m_open(false),
      m_root(WithoutTrailingSeparator(root)),
      m_device(device),
      m_mountPointsBelowRoot(std::move(mountPoints)) {
    std::sort(m_mountPointsBelowRoot.begin(), m_mountPointsBelowRoot.end());
}

bool VolumeFence::Admits(std::string_view path, std::uint64_t device) const {
    if (m_open) return true;
    if (!m_valid || device != m_device) return false;
    if (m_mountPointsBelowRoot.empty()) return true;
    path = WithoutTrailingSeparator(path);
    if (path == m_root) return true;
    return !std::binary_search(m_mountPointsBelowRoot.begin(), m_mountPointsBelowRoot.end(), path,
                               [](std::string_view a, std::string_view b) { return a < b; });
}

bool IsDirectory(const std::string& path) {
    return KindOf(path) == PathKind::Folder;
}

bool EntryExistsIgnoringCase(const std::string& directory, std::string_view name) {
    const std::string folder = directory.empty() ? "." : directory;
    if (KindOf(JoinPath(folder, name)) != PathKind::Missing) return true;
    DirectoryListing listing;
    if (!listing.Open(folder)) return false;
    DirectoryEntry entry;
    while (listing.Next(entry)) {
        if (EqualsIgnoringCase(entry.name, name)) return true;
    }
    return false;
}

}  // namespace moxtrel::platform
