// The drives of a POSIX system: the mount table, the kernel's removable
// marks, and serials derived from the mounted file systems.

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>

#include "platform/Volumes.h"
#include "platform/VolumesSystem.h"
#include "platform/posix/MountTableDrives.h"

namespace moxtrel::platform {

namespace {

constexpr const char* MountInfoPath = "/proc/self/mountinfo";

std::string ReadWholeFile(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    if (!ok) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ReadFlagFile(const std::string& path, bool& value) {
    bool ok = false;
    std::string text = ReadWholeFile(path, ok);
    if (!ok || text.empty()) return false;
    value = text[0] == '1';
    return true;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The kernel marks removable disks in sysfs; a partition carries no mark of
// its own, so its disk (the parent directory) is asked instead.
bool IsRemovableBlockDevice(const MountEntry& mount) {
    std::vector<std::string> places;
    if (mount.major != 0) {
        places.push_back("/sys/dev/block/" + std::to_string(mount.major) + ":" + std::to_string(mount.minor));
    }
    if (mount.source.starts_with("/dev/")) {
        std::string name = mount.source.substr(mount.source.find_last_of('/') + 1);
        if (!name.empty()) places.push_back("/sys/class/block/" + name);
    }
    for (const std::string& place : places) {
        bool removable = false;
        if (ReadFlagFile(place + "/removable", removable)) return removable;
        if (FileExists(place + "/partition") && ReadFlagFile(place + "/../removable", removable)) return removable;
    }
    return false;
}

// A directory that exists now, asked without following a link, without
// triggering an automount and without waiting on a network server.
bool IsDirectoryNow(const std::string& path) {
    struct statx info {};
    int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC;
    if (::statx(AT_FDCWD, path.c_str(), flags, STATX_TYPE, &info) != 0) return false;
    return S_ISDIR(info.stx_mode);
}

// One volume per directory mount point of the mount table `mounts`.
VolumeTable VolumesOf(const std::vector<MountEntry>& mounts) {
    // The last mount at a place is the one on top, the one that is seen there.
    std::map<std::string, MountEntry> topMounts;
    for (const MountEntry& mount : mounts) topMounts[mount.mountPoint] = mount;
    VolumeTable table;
    for (const auto& [mountPoint, mount] : topMounts) {
        if (!IsDirectoryNow(mountPoint)) continue;
        DriveType type = ClassifyMount(mount, IsRemovableBlockDevice(mount));
        table.volumes.push_back({WithTrailingSlash(mountPoint), type, std::nullopt});
    }
    HideMountsBelowPseudoFileSystems(table.volumes);
    return table;
}

std::vector<std::string> MountPointsOf(const std::vector<MountEntry>& mounts) {
    std::vector<std::string> points;
    for (const MountEntry& mount : mounts) points.push_back(mount.mountPoint);
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

std::vector<MountEntry> ReadMountInfo(bool& ok) {
    return ParseMountInfo(ReadWholeFile(MountInfoPath, ok));
}

}  // namespace

DriveTable MountTableDrives::ReadTable() const {
    bool ok = false;
    const std::vector<MountEntry> mounts = ReadMountInfo(ok);
    if (!ok) {
        // Without /proc the root file system is the one drive that surely exists.
        return DriveTable(VolumeTable{{{"/", DriveType::Fixed, std::nullopt}}, {}}, {}, this);
    }
    return DriveTable(VolumesOf(mounts), MountPointsOf(mounts), this);
}

std::uint32_t MountTableDrives::ReadLiveSerial(const Volume& volume) const {
    return system::ReadLiveSerial(volume);
}

std::unique_ptr<Drives> MakeSystemDrives() {
    return std::make_unique<MountTableDrives>();
}

namespace system {

std::uint32_t ReadLiveSerial(const Volume& volume) {
    struct stat info {};
    struct statfs fileSystem {};
    if (::stat(volume.root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return NoVolumeSerial;
    if (volume.serial) return *volume.serial;
    if (::statfs(volume.root.c_str(), &fileSystem) != 0) return NoVolumeSerial;
    std::uint64_t fsid = static_cast<std::uint32_t>(fileSystem.f_fsid.__val[0]) |
                         (static_cast<std::uint64_t>(static_cast<std::uint32_t>(fileSystem.f_fsid.__val[1])) << 32);
    return DeriveVolumeSerial(static_cast<std::uint64_t>(info.st_dev), fsid);
}

std::vector<std::string> ListMountPoints() {
    bool ok = false;
    return MountPointsOf(ReadMountInfo(ok));
}

}  // namespace system

}  // namespace moxtrel::platform
