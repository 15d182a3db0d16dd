#pragma once
// The drive scan behind Search: walk every drive of the ticked kinds, in
// drive order, depth-first and pre-order through each directory tree in the
// order the file system lists it, until the first file whose name is the
// game's executable (without regard to case). That file ends the whole walk;
// its directory, with the game's data sub-directory appended, must then hold
// both archives. No other copy is looked for.
//
// The walk never follows a symbolic link and never leaves the volume it
// started on (another mount, a bind mount included, is refused like an
// unreadable directory), so it ends on any tree. Directories that cannot be
// read, vanish or are too deep for a path end their branch quietly.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/Games.h"
#include "platform/DirectoryListing.h"
#include "platform/Volumes.h"

namespace moxtrel::locate {

// Told of every directory the scan enters, before it is listed: the Search
// dialog shows it on its status line, moxtrel-cli prints it.
class DirectoryObserver {
public:
    virtual ~DirectoryObserver() = default;
    // `path` has no trailing '/'; it is valid only during the call.
    virtual void DirectoryEntered(std::string_view path) = 0;
};

// The kinds of drive the user ticked. CD-ROM and RAM drives are never scanned.
struct DriveKinds {
    bool removable = false;
    bool hard = false;
    bool network = false;

    bool Any() const { return removable || hard || network; }
};

bool IsDriveSelected(platform::DriveType type, const DriveKinds& kinds);

// One walk for one executable name over one or more volumes.
class ExecutableScan {
public:
    // `exeName` is matched without regard to ASCII case. `mountPoints` are
    // the system's (DriveTable::MountPoints): a scan never enters one below
    // the root it scans.
    ExecutableScan(std::string exeName, DirectoryObserver& observer, std::vector<std::string> mountPoints);

    // Scans the tree of the volume at `root` (ending with '/'). The root
    // itself is not reported to the observer. True on a hit.
    bool ScanVolume(const std::string& root);

    // After a hit: the directory that holds the executable, ending with '/'.
    const std::string& FoundDirectory() const { return m_found; }

private:
    struct ListedEntry {
        std::size_t nameOffset;  // into m_names
        std::size_t nameLength;
        bool isDirectory;
    };

    bool ScanPath();
    bool ScanEntries(std::size_t first, std::size_t end);
    bool IsOnCurrentBranch(std::uint64_t device, std::uint64_t inode) const;

    std::string m_exeName;
    DirectoryObserver& m_observer;
    std::vector<std::string> m_mountPoints;
    platform::VolumeFence m_fence;
    // The directory being scanned: the root with its '/', deeper ones without.
    std::string m_path;
    // The entries of every directory on the current branch, deepest last,
    // read in full before any of them is entered, so no listing stays open
    // while the scan goes deeper. Kept between directories to avoid allocating.
    std::vector<ListedEntry> m_entries;
    std::string m_names;
    // Device and inode of each directory on the current branch: a directory
    // met again below itself is never entered twice.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_branch;
    std::string m_found;
};

enum class SearchOutcome {
    ExecutableNotFound,  // no drive holds the executable; the game directory is untouched
    NoDataDirectory,     // the data sub-directory cannot be entered; the game directory is emptied
    ArchivesMissing,     // the game directory names the data sub-directory, which lacks an archive
    Found,               // the game directory holds both archives and is the current directory
};

// The whole search of Begin Search: scans the drives of the snapshot `drives`
// that are of `kinds`, fenced by its mount points, then tests the first hit's data sub-directory for `game`. `gameDir`
// receives the result as the Search dialog's caller expects it (see
// SearchOutcome).
SearchOutcome SearchDrives(const platform::DriveTable& drives, const std::string& exeName, GameKind game,
                           const DriveKinds& kinds, DirectoryObserver& observer, std::string& gameDir);

}  // namespace moxtrel::locate
