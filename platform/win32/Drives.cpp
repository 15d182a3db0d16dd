#include "platform/win32/Drives.h"

#include <windows.h>

#include "platform/win32/Unicode.h"

namespace moxtrel::platform {

// The drive types are Windows' own numbers, so GetDriveTypeW's answer is
// taken as it is.
static_assert(static_cast<int>(DriveType::Unknown) == DRIVE_UNKNOWN);
static_assert(static_cast<int>(DriveType::NoRootDir) == DRIVE_NO_ROOT_DIR);
static_assert(static_cast<int>(DriveType::Removable) == DRIVE_REMOVABLE);
static_assert(static_cast<int>(DriveType::Fixed) == DRIVE_FIXED);
static_assert(static_cast<int>(DriveType::Remote) == DRIVE_REMOTE);
static_assert(static_cast<int>(DriveType::CdRom) == DRIVE_CDROM);
static_assert(static_cast<int>(DriveType::RamDisk) == DRIVE_RAMDISK);

namespace {

// Switches off the critical-error box ("There is no disk in the drive") for
// the calling thread while it lives, so an empty drive fails its call instead
// of waiting on the user. Per thread, so a scan on one thread leaves the
// boxes of the others as they were.
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() {
        m_changed = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &m_previous) != 0;
    }
    ~NoCriticalErrorBoxes() {
        if (m_changed) ::SetThreadErrorMode(m_previous, nullptr);
    }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

private:
    DWORD m_previous = 0;
    bool m_changed = false;
};

DriveType TypeOf(const wchar_t* root) {
    const UINT type = ::GetDriveTypeW(root);
    return type <= DRIVE_RAMDISK ? static_cast<DriveType>(type) : DriveType::Unknown;
}

}  // namespace

std::vector<Volume> ListLogicalDrives() {
    // The letters can change between the two calls: ask again while the
    // answer does not fit.
    std::wstring roots(128, L'\0');
    for (;;) {
        const DWORD needed = ::GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
        if (needed == 0) return {};
        if (needed < roots.size()) {
            roots.resize(needed);
            break;
        }
        roots.assign(needed + 1, L'\0');
    }
    std::vector<Volume> volumes;
    // "A:\<NUL>C:\<NUL>...": one root per NUL-terminated piece.
    for (std::size_t start = 0; start < roots.size();) {
        const std::size_t end = roots.find(L'\0', start);
        const std::wstring root = roots.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (root.empty()) break;
        if (std::optional<std::string> name = Narrow(root)) volumes.push_back(Volume{*name, TypeOf(root.c_str()), {}});
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return volumes;
}

std::uint32_t ReadVolumeSerial(const std::string& root) {
    const std::optional<std::wstring> wideRoot = Widen(root);
    if (!wideRoot) return NoVolumeSerial;
    NoCriticalErrorBoxes quiet;
    DWORD serial = 0;
    if (!::GetVolumeInformationW(wideRoot->c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) {
        return NoVolumeSerial;
    }
    // A readable volume is never taken for an empty drive, whatever its serial.
    return serial == NoVolumeSerial ? NoVolumeSerial - 1 : static_cast<std::uint32_t>(serial);
}

}  // namespace moxtrel::platform
