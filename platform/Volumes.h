#pragma once
// The machine's drives. A drive is a mounted volume: its root is the mount
// point with a trailing '/'. The list comes from the mount table, or from the
// drive map file named by MOXTREL_VOLUMES, which replaces it (platform/
// Drives.h reads them). Each volume has a drive type (numbered as Windows numbers drive types) and a 32-bit volume serial that changes
// when the medium in a drive changes. Nothing here throws; what cannot be read
// is reported as "no drive" or "no media".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Paths.h"

namespace moxtrel::platform {

class Drives;

enum class DriveType : int {
    Unknown = 0,    // pseudo file systems: never shown, never scanned
    NoRootDir = 1,  // a path that lies on no known drive
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// The serial of a drive that holds no readable volume (no media).
inline constexpr std::uint32_t NoVolumeSerial = 0xFFFFFFFF;

struct Volume {
    std::string root;  // absolute, ends with '/'
    DriveType type = DriveType::Unknown;
    // The serial a drive map gives; otherwise derived from the mounted file system.
    std::optional<std::uint32_t> serial;
};

struct VolumeTable {
    std::vector<Volume> volumes;        // in drive order
    std::vector<std::string> warnings;  // lines of a drive map that were skipped, and why
};

// One mount of the kernel's mount table.
struct MountEntry {
    std::string mountPoint;  // unescaped, without a trailing '/' except for "/"
    std::string fsType;
    std::string source;
    unsigned major = 0;
    unsigned minor = 0;
};

// Parses /proc/self/mountinfo text; malformed lines are left out.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The drive type of a mount by its file system type, source and mount point.
// `removableDevice` tells whether the mount's block device is removable.
DriveType ClassifyMount(const MountEntry& mount, bool removableDevice);

// A mount inside a pseudo file system (a tmpfs at /sys/fs/cgroup, the shared
// memory at /dev/shm) belongs to the kernel's views as well: it becomes
// Unknown, so nothing below /proc, /sys or /dev is ever shown or scanned.
void HideMountsBelowPseudoFileSystems(std::vector<Volume>& volumes);

// Parses a drive map: one volume a line, "PATH TYPE [SERIAL]", TYPE one of
// removable fixed remote cdrom ramdisk unknown, SERIAL in hex, '#' starts a
// comment. A relative PATH is taken from `baseDirectory`. Lines that do not
// parse are skipped and named in the warnings.
VolumeTable ParseDriveMap(std::string_view text, const std::string& baseDirectory);

// The drive map's word for `type` ("fixed", ...); empty for NoRootDir.
std::string_view DriveTypeWord(DriveType type);

// Parses a drive map file; one that cannot be read gives no volumes and a
// warning that says so.
VolumeTable ReadDriveMapFile(const std::string& mapPath);

// One snapshot of the machine's drives (Drives::ReadTable), read once and
// asked many times: the volumes in drive order with their types, the drive
// map's warnings, and every mount point of the system. A change of media is
// seen through the serials, which the drives that made the table read at each
// call; drives that come or go need a new snapshot.
class DriveTable {
public:
    DriveTable() = default;
    // `source`, when given, reads the live serials and must outlive the table;
    // without one every drive is empty.
    explicit DriveTable(VolumeTable table, std::vector<std::string> mountPoints = {}, const Drives* source = nullptr)
        : m_table(std::move(table)), m_mountPoints(std::move(mountPoints)), m_source(source) {}

    const std::vector<Volume>& Volumes() const { return m_table.volumes; }
    // Lines of a drive map that were skipped, and why.
    const std::vector<std::string>& Warnings() const { return m_table.warnings; }
    // Every mount point of the real mount table (whatever a drive map says),
    // sorted, so that a listing can refuse to step into another mount even
    // where it has the same device number (bind mounts). Empty on Windows,
    // where listings never enter the folders other volumes are mounted in.
    const std::vector<std::string>& MountPoints() const { return m_mountPoints; }

    // The volume on which `path` lies: the one with the longest root that
    // contains it; none when it lies on no drive.
    std::optional<Volume> VolumeOf(const std::string& path) const;
    // The type of the drive on which `path` lies; NoRootDir when it lies on none.
    DriveType GetDriveType(const std::string& path) const;
    // The serial of the volume mounted at `root` now, or NoVolumeSerial when
    // no volume is mounted there or it cannot be read.
    std::uint32_t GetVolumeSerial(const std::string& root) const;

private:
    VolumeTable m_table;
    std::vector<std::string> m_mountPoints;
    const Drives* m_source = nullptr;
};

// The serial that a mounted file system's identity gives: its device number
// and file system id (which carries its UUID where it has one). Never
// NoVolumeSerial, so a readable volume is never taken for an empty drive.
std::uint32_t DeriveVolumeSerial(std::uint64_t device, std::uint64_t fileSystemId);

}  // namespace moxtrel::platform
