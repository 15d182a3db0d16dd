#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "locate/DriveMapFixture.h"
#include "platform/Services.h"
#include "platform/Volumes.h"
#include "support/TempDir.h"

namespace moxtrel::platform {
namespace {

using test::Absolute;
using test::DriveMap;
using test::Native;

TEST(MountInfo, ReadsMountPointTypeSourceAndDeviceOfEachLine) {
    const char* text =
        "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
        "36 35 98:0 /mnt1 /mnt/my\\040games rw,noatime master:1 shared:2 - vfat /dev/sdb1 rw\n"
        "this line is not a mount\n"
        "40 26 0:37 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n";
    std::vector<MountEntry> mounts = ParseMountInfo(text);
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fsType, "ext4");
    EXPECT_EQ(mounts[0].major, 254u);
    EXPECT_EQ(mounts[1].mountPoint, "/mnt/my games");
    EXPECT_EQ(mounts[1].fsType, "vfat");
    EXPECT_EQ(mounts[1].source, "/dev/sdb1");
    EXPECT_EQ(mounts[1].minor, 0u);
    EXPECT_EQ(mounts[2].fsType, "cgroup2");
}

TEST(MountInfo, GivesEachFileSystemItsDriveType) {
    struct Case {
        const char* fsType;
        const char* source;
        const char* mountPoint;
        bool removableDevice;
        DriveType expected;
    };
    const Case cases[] = {
        {"ext4", "/dev/sda1", "/", false, DriveType::Fixed},
        {"btrfs", "/dev/nvme0n1p2", "/home", false, DriveType::Fixed},
        {"overlay", "overlay", "/", false, DriveType::Fixed},
        {"zfs", "tank/home", "/home", false, DriveType::Fixed},
        {"xfs", "/dev/sdc1", "/data", true, DriveType::Removable},
        {"vfat", "/dev/sdb1", "/media/me/STICK", false, DriveType::Removable},
        {"exfat", "/dev/sdb1", "/run/media/me/CARD", false, DriveType::Removable},
        {"iso9660", "/dev/sr0", "/media/me/QUAKE", true, DriveType::CdRom},
        {"udf", "/dev/loop3", "/mnt/disc", false, DriveType::CdRom},
        {"nfs4", "server:/export", "/net/games", false, DriveType::Remote},
        {"fuse.sshfs", "me@host:", "/media/me/host", false, DriveType::Remote},
        {"cifs", "//host/share", "/mnt/share", false, DriveType::Remote},
        {"tmpfs", "tmpfs", "/dev/shm", false, DriveType::RamDisk},
        {"ramfs", "none", "/mnt/ram", false, DriveType::RamDisk},
        {"proc", "proc", "/proc", false, DriveType::Unknown},
        {"sysfs", "sysfs", "/sys", false, DriveType::Unknown},
        {"cgroup2", "cgroup2", "/sys/fs/cgroup", false, DriveType::Unknown},
        {"squashfs", "/dev/loop0", "/snap/core/1", false, DriveType::Unknown},
        {"fuse.portal", "portal", "/run/user/1000/doc", false, DriveType::Unknown},
        {"hfsplus", "/dev/sdd2", "/mnt/mac", false, DriveType::Fixed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fsType) + " at " + c.mountPoint);
        MountEntry mount{c.mountPoint, c.fsType, c.source, 8, 1};
        EXPECT_EQ(ClassifyMount(mount, c.removableDevice), c.expected);
    }
}

TEST(MountInfo, HidesMountsInsideTheKernelsOwnFileSystems) {
    std::vector<Volume> volumes = {
        {"/", DriveType::Fixed, {}},          {"/dev/", DriveType::Unknown, {}},
        {"/dev/shm/", DriveType::RamDisk, {}}, {"/devices/", DriveType::Fixed, {}},
        {"/sys/", DriveType::Unknown, {}},     {"/sys/fs/cgroup/", DriveType::RamDisk, {}},
        {"/run/user/1000/", DriveType::RamDisk, {}},
    };
    HideMountsBelowPseudoFileSystems(volumes);
    std::vector<DriveType> types;
    for (const Volume& volume : volumes) types.push_back(volume.type);
    EXPECT_EQ(types, (std::vector<DriveType>{DriveType::Fixed, DriveType::Unknown, DriveType::Unknown,
                                             DriveType::Fixed, DriveType::Unknown, DriveType::Unknown,
                                             DriveType::RamDisk}));
}

TEST(DriveMapFile, ReadsPathTypeAndSerialOfEachLineInFileOrder) {
    const std::string text =
        "# my drives\n" +
        Absolute("/games") + " fixed\n"
        "\n" +
        Absolute("/media/usb stick") + "  removable 1A2B3C4D   # a path with a blank\n"
        "cd cdrom 0xdeadbeef\n" +
        Absolute("/srv/#1") + " remote\n" +
        Absolute("/nowhere") + " floppy\n" +
        Absolute("/mnt/x") + " fixed 123456789\n"
        "fixed\n";
    VolumeTable table = ParseDriveMap(text, Absolute("/maps"));
    ASSERT_EQ(table.volumes.size(), 4u);
    EXPECT_EQ(table.volumes[0].root, Absolute("/games/"));
    EXPECT_EQ(table.volumes[0].type, DriveType::Fixed);
    EXPECT_FALSE(table.volumes[0].serial);
    EXPECT_EQ(table.volumes[1].root, Absolute("/media/usb stick/"));
    EXPECT_EQ(table.volumes[1].type, DriveType::Removable);
    EXPECT_EQ(table.volumes[1].serial, 0x1A2B3C4Du);
    EXPECT_EQ(table.volumes[2].root, Absolute("/maps/cd/"));
    EXPECT_EQ(table.volumes[2].type, DriveType::CdRom);
    EXPECT_EQ(table.volumes[2].serial, 0xDEADBEEFu);
    EXPECT_EQ(table.volumes[3].root, Absolute("/srv/#1/"));
    EXPECT_EQ(table.volumes[3].type, DriveType::Remote);
    // An unknown type, a serial of nine digits and a line without a path are named.
    ASSERT_EQ(table.warnings.size(), 3u);
    EXPECT_EQ(table.warnings[0].rfind("line 7:", 0), 0u);
    EXPECT_EQ(table.warnings[1].rfind("line 8:", 0), 0u);
    EXPECT_EQ(table.warnings[2].rfind("line 9:", 0), 0u);
}

TEST(DriveMapFile, ReplacesTheMountTableWhenTheEnvironmentNamesIt) {
    DriveMap map;
    std::string games = map.AddDrive("games", "fixed");
    std::string stick = map.AddDrive("stick", "removable", 0x1234);
    std::string proc = map.AddDrive("proc", "unknown");

    Environment environment;
    environment.driveMapPath = map.MapPath();
    const Services services = MakeServices(environment);
    const DriveTable drives = services.drives->ReadTable();
    const std::vector<Volume>& volumes = drives.Volumes();
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].root, games);
    EXPECT_EQ(volumes[1].root, stick);
    EXPECT_EQ(volumes[2].type, DriveType::Unknown);

    EXPECT_EQ(drives.GetDriveType(games), DriveType::Fixed);
    EXPECT_EQ(drives.GetDriveType(stick + "quake/id1"), DriveType::Removable);
    EXPECT_EQ(drives.GetDriveType(stick.substr(0, stick.size() - 1)), DriveType::Removable);
    EXPECT_EQ(drives.GetDriveType(Absolute("/somewhere/else")), DriveType::NoRootDir);
    EXPECT_EQ(drives.VolumeOf(proc + "self")->root, proc);
}

TEST(DriveMapFile, ThatCannotBeReadGivesNoDrivesAndSaysWhy) {
    test::TempDir dir;
    const DriveMapDrives missing((dir / "missing.map").string());
    const DriveTable drives = missing.ReadTable();
    EXPECT_TRUE(drives.Volumes().empty());
    ASSERT_EQ(drives.Warnings().size(), 1u);
}

TEST(VolumeSerial, ComesFromTheMapOrFromTheFileSystemAndIsNoneWithoutMedia) {
    DriveMap map;
    std::string stick = map.AddDrive("stick", "removable", 0x1234);
    std::string disc = map.AddDrive("disc", "cdrom", std::nullopt, /*withMedia=*/false);
    std::string games = map.AddDrive("games", "fixed");
    std::string more = map.AddDrive("more", "fixed");

    const DriveTable drives = map.Drives();
    EXPECT_EQ(drives.GetVolumeSerial(stick), 0x1234u);
    EXPECT_EQ(drives.GetVolumeSerial(disc), NoVolumeSerial);
    EXPECT_NE(drives.GetVolumeSerial(games), NoVolumeSerial);
    // Derived from the file system: the same for two folders of one disk.
    EXPECT_EQ(drives.GetVolumeSerial(games), drives.GetVolumeSerial(more));
    EXPECT_EQ(drives.GetVolumeSerial(Absolute("/not/a/drive/")), NoVolumeSerial);

    // The medium is read at each call: a disc put in shows at once; a new
    // serial in the map shows in a new snapshot.
    test::MakeDirectories(disc);
    EXPECT_NE(drives.GetVolumeSerial(disc), NoVolumeSerial);
    map.SetSerial("stick", 0x5678);
    EXPECT_EQ(map.Drives().GetVolumeSerial(stick), 0x5678u);
}

TEST(MountTable, ListsRootFirstAndNamesPseudoFileSystemsUnknown) {
    const std::unique_ptr<Drives> system = MakeSystemDrives();
    const DriveTable drives = system->ReadTable();
    const std::vector<Volume>& volumes = drives.Volumes();
    ASSERT_FALSE(volumes.empty());
#ifndef _WIN32
    EXPECT_EQ(volumes[0].root, "/");
#endif
    for (const Volume& volume : volumes) {
        EXPECT_EQ(volume.root.back(), Separator);
        if (volume.root.rfind("/proc/", 0) == 0 || volume.root.rfind("/sys/", 0) == 0) {
            EXPECT_EQ(volume.type, DriveType::Unknown) << volume.root;
        }
    }
    EXPECT_NE(drives.GetVolumeSerial(Absolute("/")), NoVolumeSerial);
    EXPECT_EQ(drives.GetVolumeSerial(Absolute("/usr/share/")), NoVolumeSerial) << "a folder is not a mounted volume";
}

TEST(Paths, AreJoinedWithOneSlash) {
    EXPECT_EQ(JoinPath("/", "games"), "/games");
    EXPECT_EQ(JoinPath("/games", "quake"), "/games" + Native("/quake"));
    EXPECT_EQ(JoinPath("/media/usb/", "id1/"), "/media/usb/id1/");
    EXPECT_EQ(WithTrailingSlash("/games"), "/games" + Native("/"));
    EXPECT_EQ(WithTrailingSlash("/"), "/");
}

}  // namespace
}  // namespace moxtrel::platform
