#include "platform/Volumes.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "platform/Drives.h"
#include "platform/File.h"
#include "platform/Text.h"

namespace moxtrel::platform {

namespace {

// File systems that are the kernel's own views, not places where files are kept.
constexpr std::array PseudoFileSystems{
    "proc",   "sysfs",     "devtmpfs",    "devpts",   "securityfs", "debugfs", "tracefs",
    "mqueue", "hugetlbfs", "pstore",      "bpf",      "configfs",   "fusectl", "binfmt_misc",
    "autofs", "nsfs",      "efivarfs",    "rpc_pipefs", "selinuxfs", "squashfs",
};
constexpr std::array RemoteFileSystems{
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "ceph", "glusterfs", "afs", "fuse.sshfs", "fuse.rclone", "davfs",
};
constexpr std::array RamFileSystems{"tmpfs", "ramfs"};
constexpr std::array CdRomFileSystems{"iso9660", "udf"};
// Disk file systems whose source need not be a /dev node (pools, layers).
constexpr std::array DeviceFileSystems{
    "ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "vfat", "exfat", "ntfs", "ntfs3", "fuseblk", "zfs", "overlay",
};

template <std::size_t N>
bool IsOneOf(std::string_view value, const std::array<const char*, N>& names) {
    return std::any_of(names.begin(), names.end(), [&](const char* name) { return value == name; });
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Mount table fields escape blanks, tabs, newlines and backslashes as \ooo.
std::string UnescapeMountField(std::string_view field) {
    auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        std::size_t start = i;
        while (i < line.size() && !IsSpace(line[i])) ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool ParseDeviceNumbers(std::string_view text, unsigned& major, unsigned& minor) {
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    std::string majorText(text.substr(0, colon));
    std::string minorText(text.substr(colon + 1));
    if (majorText.empty() || minorText.empty()) return false;
    char* end = nullptr;
    unsigned long majorValue = std::strtoul(majorText.c_str(), &end, 10);
    if (*end != '\0') return false;
    unsigned long minorValue = std::strtoul(minorText.c_str(), &end, 10);
    if (*end != '\0') return false;
    major = static_cast<unsigned>(majorValue);
    minor = static_cast<unsigned>(minorValue);
    return true;
}

// The words of a drive map for the drive types, in both directions.
constexpr std::array<std::pair<DriveType, std::string_view>, 6> DriveTypeWords{{
    {DriveType::Removable, "removable"},
    {DriveType::Fixed, "fixed"},
    {DriveType::Remote, "remote"},
    {DriveType::CdRom, "cdrom"},
    {DriveType::RamDisk, "ramdisk"},
    {DriveType::Unknown, "unknown"},
}};

std::optional<DriveType> DriveTypeFromWord(std::string_view word) {
    for (const auto& [type, typeWord] : DriveTypeWords) {
        if (word == typeWord) return type;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ParseHexSerial(std::string_view word) {
    if (word.starts_with("0x") || word.starts_with("0X")) word.remove_prefix(2);
    return ParseHex(word);
}

// A '#' at the start of a line or after a blank starts a comment; a '#'
// inside a path (/games/#1) does not.
std::string_view StripComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || IsSpace(line[i - 1]))) return line.substr(0, i);
    }
    return line;
}

// Blanks and the line ends a drive map written elsewhere may carry.
std::string_view TrimLine(std::string_view text) {
    return Trim(text, " \t\r\n");
}

// Splits off the last blank-separated word of `text`; `text` keeps the rest.
std::string_view TakeLastWord(std::string_view& text) {
    text = TrimLine(text);
    std::size_t i = text.size();
    while (i > 0 && !IsSpace(text[i - 1])) --i;
    std::string_view word = text.substr(i);
    text = TrimLine(text.substr(0, i));
    return word;
}

std::string ReadMapFile(const std::string& path, bool& ok) {
    std::optional<std::string> text = ReadWholeFile(path);
    ok = text.has_value();
    return text.value_or(std::string());
}

std::string DriveMapBaseDirectory(const std::string& mapPath) {
    std::string folder = FolderOf(mapPath);
    return folder.empty() ? "." : std::string(WithoutTrailingSeparator(folder));
}

// Whether `path` lies on the drive whose root is `root` (which ends with '/').
bool LiesUnder(const std::string& path, const std::string& root) {
    if (path.starts_with(root)) return true;
    return path.size() + 1 == root.size() && root.starts_with(path);
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        std::vector<std::string_view> fields = SplitFields(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;

        // id parent major:minor root mount-point options [optional...] - type source super-options
        auto separator = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 6 || separator == fields.end() || separator - fields.begin() < 6 ||
            fields.end() - separator < 3) {
            continue;
        }
        MountEntry mount;
        if (!ParseDeviceNumbers(fields[2], mount.major, mount.minor)) continue;
        mount.mountPoint = UnescapeMountField(fields[4]);
        if (mount.mountPoint.empty() || mount.mountPoint[0] != '/') continue;
        if (mount.mountPoint.size() > 1 && mount.mountPoint.back() == '/') mount.mountPoint.pop_back();
        mount.fsType = UnescapeMountField(separator[1]);
        mount.source = UnescapeMountField(separator[2]);
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

void HideMountsBelowPseudoFileSystems(std::vector<Volume>& volumes) {
    std::vector<std::string> pseudoRoots;
    for (const Volume& volume : volumes) {
        if (volume.type == DriveType::Unknown && volume.root != "/") pseudoRoots.push_back(volume.root);
    }
    for (Volume& volume : volumes) {
        for (const std::string& pseudo : pseudoRoots) {
            if (volume.root.size() > pseudo.size() && volume.root.starts_with(pseudo)) volume.type = DriveType::Unknown;
        }
    }
}

DriveType ClassifyMount(const MountEntry& mount, bool removableDevice) {
    const std::string& type = mount.fsType;
    if (IsOneOf(type, PseudoFileSystems) || type.starts_with("cgroup")) return DriveType::Unknown;
    if (IsOneOf(type, CdRomFileSystems) || mount.source.starts_with("/dev/sr")) return DriveType::CdRom;
    if (IsOneOf(type, RemoteFileSystems)) return DriveType::Remote;
    if (IsOneOf(type, RamFileSystems)) return DriveType::RamDisk;
    if (!IsOneOf(type, DeviceFileSystems) && !mount.source.starts_with("/dev/")) return DriveType::Unknown;
    bool underMedia = mount.mountPoint.starts_with("/media/") || mount.mountPoint.starts_with("/run/media/");
    return (removableDevice || underMedia) ? DriveType::Removable : DriveType::Fixed;
}

std::string_view DriveTypeWord(DriveType type) {
    for (const auto& [known, word] : DriveTypeWords) {
        if (known == type) return word;
    }
    return {};
}

VolumeTable ParseDriveMap(std::string_view text, const std::string& baseDirectory) {
    VolumeTable table;
    std::size_t lineStart = 0;
    int lineNumber = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        std::string_view line = TrimLine(StripComment(text.substr(lineStart, lineEnd - lineStart)));
        lineStart = lineEnd + 1;
        ++lineNumber;
        if (line.empty()) continue;

        // The path may hold blanks, so the line is read from its end.
        std::string_view rest = line;
        std::string_view last = TakeLastWord(rest);
        std::string_view restBeforeType = rest;
        std::string_view beforeLast = TakeLastWord(restBeforeType);
        Volume volume;
        std::string_view path;
        if (auto type = DriveTypeFromWord(beforeLast); type && ParseHexSerial(last) && !restBeforeType.empty()) {
            volume.type = *type;
            volume.serial = ParseHexSerial(last);
            path = restBeforeType;
        } else if (auto onlyType = DriveTypeFromWord(last); onlyType && !rest.empty()) {
            volume.type = *onlyType;
            path = rest;
        } else {
            table.warnings.push_back("line " + std::to_string(lineNumber) +
                                     ": expected PATH TYPE [SERIAL], TYPE one of removable fixed remote cdrom "
                                     "ramdisk unknown, SERIAL in hex");
            continue;
        }
        if (path.find('\0') != std::string_view::npos) {
            // The system would end the path at the NUL and look somewhere else.
            table.warnings.push_back("line " + std::to_string(lineNumber) + ": the path holds a NUL byte");
            continue;
        }
        std::string root(path);
        if (!IsAbsolutePath(root)) root = JoinPath(baseDirectory, root);
        volume.root = WithTrailingSlash(std::move(root));
        table.volumes.push_back(std::move(volume));
    }
    return table;
}

VolumeTable ReadDriveMapFile(const std::string& mapPath) {
    bool ok = false;
    std::string text = ReadMapFile(mapPath, ok);
    if (!ok) {
        VolumeTable table;
        table.warnings.push_back(mapPath + ": the drive map cannot be read");
        return table;
    }
    return ParseDriveMap(text, DriveMapBaseDirectory(mapPath));
}

std::optional<Volume> DriveTable::VolumeOf(const std::string& path) const {
    const Volume* best = nullptr;
    for (const Volume& volume : Volumes()) {
        if (LiesUnder(path, volume.root) && (!best || volume.root.size() > best->root.size())) best = &volume;
    }
    if (!best) return std::nullopt;
    return *best;
}

DriveType DriveTable::GetDriveType(const std::string& path) const {
    std::optional<Volume> volume = VolumeOf(path);
    return volume ? volume->type : DriveType::NoRootDir;
}

std::uint32_t DriveTable::GetVolumeSerial(const std::string& root) const {
    std::string wanted = WithTrailingSlash(root);
    const std::vector<Volume>& volumes = Volumes();
    auto volume = std::find_if(volumes.begin(), volumes.end(), [&](const Volume& v) { return v.root == wanted; });
    if (volume == volumes.end() || !m_source) return NoVolumeSerial;
    return m_source->ReadLiveSerial(*volume);
}

std::uint32_t DeriveVolumeSerial(std::uint64_t device, std::uint64_t fileSystemId) {
    // FNV-1a over both numbers: cheap, and every bit of either moves the result.
    std::uint32_t hash = 2166136261u;
    for (std::uint64_t value : {device, fileSystemId}) {
        for (int i = 0; i < 8; ++i) {
            hash ^= static_cast<std::uint32_t>((value >> (8 * i)) & 0xFF);
            hash *= 16777619u;
        }
    }
    return hash == NoVolumeSerial ? NoVolumeSerial - 1 : hash;
}

}  // namespace moxtrel::platform
