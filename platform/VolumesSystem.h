#pragma once
// What the drives ask of the system they run on; for platform/ only.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Volumes.h"

namespace moxtrel::platform::system {

// The serial of the volume now at `volume.root` (the drive map's own serial
// when it gives one), or NoVolumeSerial when nothing readable is there.
std::uint32_t ReadLiveSerial(const Volume& volume);

// Every mount point of the real mount table, sorted and without repeats;
// none on Windows.
std::vector<std::string> ListMountPoints();

}  // namespace moxtrel::platform::system
