#include "platform/wine/WinePath.h"

#include <optional>
#include <sys/stat.h>
#include <vector>

namespace moxtrel::platform::wine {

namespace {

struct DriveFolder {
    char letter = 0;
    dev_t device = 0;
    ino_t inode = 0;
};

// The drives of the prefix: each "x:" of its dosdevices folder that leads to a folder.
std::vector<DriveFolder> DriveFolders(const std::string& prefix) {
    std::vector<DriveFolder> drives;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        struct stat folder {};
        const std::string link = prefix + "/dosdevices/" + letter + ":";
        if (::stat(link.c_str(), &folder) == 0) drives.push_back({letter, folder.st_dev, folder.st_ino});
    }
    return drives;
}

// The drive whose folder is the folder at `path`, if it is one.
std::optional<char> DriveAt(const std::vector<DriveFolder>& drives, const std::string& path) {
    struct stat folder {};
    if (::stat(path.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) return std::nullopt;
    for (const DriveFolder& drive : drives) {
        if (drive.device == folder.st_dev && drive.inode == folder.st_ino) return drive.letter;
    }
    return std::nullopt;
}

// The length of `path` without its last component; a ".." component takes
// the one before it along, since the folder it leads out of was never entered.
std::size_t WithoutLastComponent(const std::string& path, std::size_t length) {
    int level = 0;
    while (level < 1 && length > 1) {
        std::size_t start = length;
        while (start > 1 && path[start - 1] != '/') --start;
        const std::string_view component(path.data() + start, length - start);
        if (component == "..") {
            --level;
        } else if (component != ".") {
            ++level;
        }
        while (start > 1 && path[start - 1] == '/') --start;
        length = start;
    }
    return length;
}

// The rest of a path below its drive's folder, with '\' between components
// and the "." and ".." components gone, as a drive path is written.
std::string DriveRest(std::string_view rest) {
    std::vector<std::string_view> components;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view component = rest.substr(0, slash);
        if (component == "..") {
            if (!components.empty()) components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
    }
    std::string joined;
    for (std::string_view component : components) {
        if (!joined.empty()) joined += '\\';
        joined += component;
    }
    return joined;
}

}  // namespace

WineResult DrivePathInPrefix(const std::string& prefix, const std::string& path, std::string& drivePath) {
    drivePath.clear();
    if (path.empty() || path.front() != '/') return WineResult::Failed(WineFailure::NoDrive, 0, "the path is not absolute");
    const std::vector<DriveFolder> drives = DriveFolders(prefix);
    std::size_t length = path.size();
    while (length > 1 && path[length - 1] == '/') --length;
    // From the whole path up to the root, the first folder that is a drive's
    // holds the longest leading part.
    while (true) {
        if (const std::optional<char> letter = DriveAt(drives, path.substr(0, length))) {
            drivePath = std::string(1, static_cast<char>(*letter - 'a' + 'A')) + ":\\" +
                        DriveRest(std::string_view(path).substr(length == 1 ? 0 : length));
            return WineResult::Success();
        }
        if (length <= 1) break;
        length = WithoutLastComponent(path, length);
    }
    return WineResult::Failed(WineFailure::NoDrive);
}

}  // namespace moxtrel::platform::wine
