// The drives of Windows: its drive letters with the types and serials the
// system gives them.

#include <windows.h>

#include "platform/File.h"
#include "platform/Volumes.h"
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

namespace system {

VolumeTable ReadSystemDrives() {
    return VolumeTable{ListLogicalDrives(), {}};
}

std::uint32_t ReadLiveSerial(const Volume& volume) {
    if (!IsFolder(volume.root)) return NoVolumeSerial;
    if (volume.serial) return *volume.serial;
    const std::string root = VolumeRootOf(volume.root);
    return root.empty() ? NoVolumeSerial : ReadVolumeSerial(root);
}

}  // namespace system

// Other volumes mounted in folders are reached through reparse points, which
// listings never enter; there is nothing more to fence off.
std::vector<std::string> ListMountPoints() {
    return {};
}

}  // namespace moxtrel::platform
