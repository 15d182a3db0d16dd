#include "locate/DriveScan.h"

#include <algorithm>

#include "locate/GameDirectory.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace moxtrel::locate {

using platform::DriveType;

bool IsDriveSelected(DriveType type, const DriveKinds& kinds) {
    switch (type) {
        case DriveType::Removable: return kinds.removable;
        case DriveType::Fixed: return kinds.hard;
        case DriveType::Remote: return kinds.network;
        default: return false;
    }
}

ExecutableScan::ExecutableScan(std::string exeName, DirectoryObserver& observer, std::vector<std::string> mountPoints)
    : m_exeName(std::move(exeName)), m_observer(observer), m_mountPoints(std::move(mountPoints)) {}

bool ExecutableScan::ScanVolume(const std::string& root) {
    m_path = platform::WithTrailingSlash(root);
    m_entries.clear();
    m_names.clear();
    m_branch.clear();
    m_found.clear();

    // The fence is made from the root as it is opened, so a medium changed
    // since the drives were listed is scanned as what it is now.
    platform::DirectoryListing rootListing;
    if (!rootListing.Open(m_path)) return false;
    std::string prefix = m_path;
    std::vector<std::string> below;
    for (const std::string& point : m_mountPoints) {
        if (point.size() > prefix.size() && point.compare(0, prefix.size(), prefix) == 0) below.push_back(point);
    }
    m_fence = platform::VolumeFence(m_path, rootListing.Device(), std::move(below));
    rootListing.Close();
    return ScanPath();
}

bool ExecutableScan::IsOnCurrentBranch(std::uint64_t device, std::uint64_t inode) const {
    return std::find(m_branch.begin(), m_branch.end(), std::make_pair(device, inode)) != m_branch.end();
}

// Lists the directory at m_path in full, then walks its entries.
bool ExecutableScan::ScanPath() {
    platform::DirectoryListing listing;
    // A path longer than the system takes fails here, which ends that branch.
    if (!listing.Open(m_path, m_fence)) return false;
    if (IsOnCurrentBranch(listing.Device(), listing.Inode())) return false;

    const std::size_t first = m_entries.size();
    const std::size_t firstNameByte = m_names.size();
    platform::DirectoryEntry entry;
    while (listing.Next(entry)) {
        m_entries.push_back({m_names.size(), entry.name.size(), entry.isDirectory});
        m_names.append(entry.name);
    }
    const std::uint64_t device = listing.Device();
    const std::uint64_t inode = listing.Inode();
    listing.Close();

    m_branch.emplace_back(device, inode);
    bool hit = ScanEntries(first, m_entries.size());
    m_branch.pop_back();
    m_entries.resize(first);
    m_names.resize(firstNameByte);
    return hit;
}

bool ExecutableScan::ScanEntries(std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
        // Copied: entering a sub-directory appends to (and may move) the arenas.
        const ListedEntry entry = m_entries[i];
        if (entry.isDirectory) {
            const std::size_t mark = m_path.size();
            m_path = platform::WithTrailingSlash(std::move(m_path));
            m_path.append(m_names, entry.nameOffset, entry.nameLength);
            m_observer.DirectoryEntered(m_path);
            if (ScanPath()) return true;
            m_path.resize(mark);
        } else {
            std::string_view name(m_names.data() + entry.nameOffset, entry.nameLength);
            if (platform::EqualsIgnoringCase(name, m_exeName)) {
                m_found = platform::WithTrailingSlash(m_path);
                return true;
            }
        }
    }
    return false;
}

SearchOutcome SearchDrives(const platform::DriveTable& drives, const std::string& exeName, GameKind game,
                           const DriveKinds& kinds, DirectoryObserver& observer, std::string& gameDir) {
    ExecutableScan scan(exeName, observer, drives.MountPoints());
    bool hit = false;
    for (const platform::Volume& volume : drives.Volumes()) {
        if (IsDriveSelected(volume.type, kinds) && scan.ScanVolume(volume.root)) {
            hit = true;
            break;
        }
    }
    if (!hit) return SearchOutcome::ExecutableNotFound;

    gameDir = ComposeGameDirectory(scan.FoundDirectory(), game);
    switch (TestGameDirectory(gameDir)) {
        case CandidateResult::NotEnterable:
            gameDir.clear();
            return SearchOutcome::NoDataDirectory;
        case CandidateResult::ArchivesMissing: return SearchOutcome::ArchivesMissing;
        case CandidateResult::Found: return SearchOutcome::Found;
    }
    return SearchOutcome::ArchivesMissing;
}

}  // namespace moxtrel::locate
