#include "locate/FolderProbe.h"

namespace moxtrel::locate {

using platform::DriveType;

bool HasSubFolders(const std::string& path, const platform::VolumeFence& fence) {
    platform::DirectoryListing listing;
    if (!listing.Open(path, fence)) return false;
    platform::DirectoryEntry entry;
    while (listing.Next(entry)) {
        if (entry.isDirectory) return true;
    }
    return false;
}

bool ListSubFolders(const std::string& path, const platform::VolumeFence& fence, std::vector<std::string>& names) {
    names.clear();
    platform::DirectoryListing listing;
    if (!listing.Open(path, fence)) return false;
    platform::DirectoryEntry entry;
    while (listing.Next(entry)) {
        if (entry.isDirectory) names.emplace_back(entry.name);
    }
    return true;
}

bool FolderExists(const std::string& path) {
    if (platform::EndsWithSeparator(path)) return true;
    return platform::IsDirectory(path);
}

void MediaSerials::Remember(const platform::DriveTable& drives, const std::string& root) {
    m_serials[platform::WithTrailingSlash(root)] = drives.GetVolumeSerial(root);
}

std::uint32_t MediaSerials::Slot(const std::string& root) const {
    auto slot = m_serials.find(platform::WithTrailingSlash(root));
    return slot == m_serials.end() ? platform::NoVolumeSerial : slot->second;
}

bool MediaSerials::IsSameMedia(const platform::DriveTable& drives, const std::string& path) {
    std::optional<platform::Volume> volume = drives.VolumeOf(path);
    if (!volume || (volume->type != DriveType::Removable && volume->type != DriveType::CdRom)) return true;

    std::uint32_t& slot = m_serials.try_emplace(volume->root, platform::NoVolumeSerial).first->second;
    std::uint32_t serial = drives.GetVolumeSerial(volume->root);
    if (serial == platform::NoVolumeSerial) {
        slot = platform::NoVolumeSerial;
        return false;
    }
    bool same = slot == serial || slot == platform::NoVolumeSerial;
    slot = serial;
    return same;
}

}  // namespace moxtrel::locate
