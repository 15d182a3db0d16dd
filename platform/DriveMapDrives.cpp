#include "platform/Drives.h"
#include "platform/VolumesSystem.h"

namespace moxtrel::platform {

DriveTable DriveMapDrives::ReadTable() const {
    return DriveTable(ReadDriveMapFile(m_mapPath), system::ListMountPoints(), this);
}

std::uint32_t DriveMapDrives::ReadLiveSerial(const Volume& volume) const {
    return system::ReadLiveSerial(volume);
}

}  // namespace moxtrel::platform
