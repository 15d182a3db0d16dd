#include "support/FakeDrives.h"

#include "platform/Paths.h"

namespace moxtrel::test {

std::string FakeDrives::AddDrive(const std::string& root, platform::DriveType type, std::uint32_t serial) {
    platform::Volume volume{platform::WithTrailingSlash(root), type, std::nullopt};
    m_serials[volume.root] = serial;
    m_volumes.push_back(volume);
    return volume.root;
}

void FakeDrives::SetSerial(const std::string& root, std::uint32_t serial) {
    m_serials[platform::WithTrailingSlash(root)] = serial;
}

platform::DriveTable FakeDrives::ReadTable() const {
    ++m_tableReads;
    return platform::DriveTable(platform::VolumeTable{m_volumes, {}}, {}, this);
}

std::uint32_t FakeDrives::ReadLiveSerial(const platform::Volume& volume) const {
    const auto serial = m_serials.find(volume.root);
    return serial == m_serials.end() ? platform::NoVolumeSerial : serial->second;
}

}  // namespace moxtrel::test
