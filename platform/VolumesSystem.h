#pragma once
// What the drive table asks of the system it runs on; for platform/Volumes.cpp only.

#include <cstdint>

#include "platform/Volumes.h"

namespace moxtrel::platform::system {

// The system's own drives, with their types, in drive order.
VolumeTable ReadSystemDrives();

// The serial of the volume now at `volume.root` (the drive map's own serial
// when it gives one), or NoVolumeSerial when nothing readable is there.
std::uint32_t ReadLiveSerial(const Volume& volume);

}  // namespace moxtrel::platform::system
