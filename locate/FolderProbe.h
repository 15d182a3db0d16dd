#pragma once
// The file-system side of the drive and folder tree: which drives to show,
// whether a folder has sub-folders, the sub-folders themselves, whether a
// folder still exists, and whether the medium in a removable or CD-ROM drive
// is still the one that was listed. No window is needed for any of it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/DirectoryListing.h"
#include "platform/Volumes.h"

namespace moxtrel::locate {

// Whether `path`, a folder inside `fence` (the drive it belongs to), holds at
// least one sub-folder. Stops at the first; false when it cannot be listed.
bool HasSubFolders(const std::string& path, const platform::VolumeFence& fence);

// The names of the sub-folders of `path` in listing order. False (and no
// names) when the folder cannot be listed.
bool ListSubFolders(const std::string& path, const platform::VolumeFence& fence, std::vector<std::string>& names);

// A drive root (a path ending with '/') always exists; any other path exists
// when it is a directory now, not through a symbolic link.
bool FolderExists(const std::string& path);

// The last volume serial seen for each removable and CD-ROM drive, by root.
class MediaSerials {
public:
    // Stores the serial of the volume now at `root`, one of `drives`.
    void Remember(const platform::DriveTable& drives, const std::string& root);
    // What the slot of `root` holds; NoVolumeSerial for a drive never seen.
    std::uint32_t Slot(const std::string& root) const;

    // Whether the drive of `path` still holds the medium last seen there.
    // Always true for drives that are neither removable nor CD-ROM. No media
    // is always a change; a first volume after none is not; a different
    // volume is a change once, since its serial is stored for the next test.
    bool IsSameMedia(const platform::DriveTable& drives, const std::string& path);

private:
    std::map<std::string, std::uint32_t> m_serials;
};

}  // namespace moxtrel::locate
