#pragma once
// The machine's drives, as a service: the program makes one at its start
// (platform/Services.h) and hands it by reference to the folder tree, the
// drive scan and moxtrel-cli. Kinds: the mount table (POSIX), the drive
// letters (Windows), a drive map file that replaces either, and an in-memory
// one for tests.
//
// A snapshot (DriveTable) is read once and asked many times: the volumes with
// their types and the mount points that fence listings. What is in a drive
// now (its medium's serial) is asked of the service at each question, so a
// disc put in shows without a new snapshot; drives that come or go need one.
// Nothing here throws.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Volumes.h"

namespace moxtrel::platform {

class Drives {
public:
    virtual ~Drives() = default;

    // The drives now, in drive order; the table asks this service, which must
    // outlive it, for live serials.
    virtual DriveTable ReadTable() const = 0;
    // The serial of the medium in `volume` now (the drive map's own serial
    // when it gives one), or NoVolumeSerial when nothing readable is there.
    virtual std::uint32_t ReadLiveSerial(const Volume& volume) const = 0;
};

// The drives a drive map file lists, one "PATH TYPE [SERIAL]" a line (see
// ParseDriveMap). The file is read at each snapshot; media and the mount
// points that fence listings are the system's.
class DriveMapDrives final : public Drives {
public:
    explicit DriveMapDrives(std::string mapPath) : m_mapPath(std::move(mapPath)) {}

    // A map that cannot be read gives no drives and a warning that says so.
    DriveTable ReadTable() const override;
    std::uint32_t ReadLiveSerial(const Volume& volume) const override;

private:
    std::string m_mapPath;
};

// The system's own drives: the mount table on POSIX (platform/posix/
// MountTableDrives.h), the drive letters on Windows (platform/win32/Drives.h).
std::unique_ptr<Drives> MakeSystemDrives();

}  // namespace moxtrel::platform
