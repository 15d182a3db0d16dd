// The drives of Windows: its drive letters with the types and serials the
// system gives them.

#include <windows.h>

#include "platform/File.h"
#include "platform/VolumesSystem.h"
#include "platform/win32/Drives.h"
#include "platform/win32/Unicode.h"

namespace moxtrel::platform {

namespace {

// The root of the volume that holds `folder` ("C:\" for "C:\Games\"), so a
// drive map may name any folder as a drive.
std::string VolumeRootOf(const std::string& folder) {
    const std::optional<std::wstring> wide = Widen(folder);
    if (!wide) return {};
    std::wstring root(MAX_PATH + 1, L'\0');
    if (!::GetVolumePathNameW(wide->c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
    root.resize(root.find(L'\0'));
    return Narrow(root).value_or(std::string());
}

}  // namespace

DriveTable DriveLetterDrives::ReadTable() const {
    return DriveTable(VolumeTable{ListLogicalDrives(), {}}, {}, this);
}

std::uint32_t DriveLetterDrives::ReadLiveSerial(const Volume& volume) const {
    return system::ReadLiveSerial(volume);
}

std::unique_ptr<Drives> MakeSystemDrives() {
    return std::make_unique<DriveLetterDrives>();
}

namespace system {

std::uint32_t ReadLiveSerial(const Volume& volume) {
    if (!IsFolder(volume.root)) return NoVolumeSerial;
    if (volume.serial) return *volume.serial;
    const std::string root = VolumeRootOf(volume.root);
    return root.empty() ? NoVolumeSerial : ReadVolumeSerial(root);
}

// Other volumes mounted in folders are reached through reparse points, which
// listings never enter; there is nothing more to fence off.
std::vector<std::string> ListMountPoints() {
    return {};
}

}  // namespace system

}  // namespace moxtrel::platform
