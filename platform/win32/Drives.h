#pragma once
// Windows only: the drive letters the system has now and what is in them,
// the drives a program has when no drive map replaces them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Drives.h"

namespace moxtrel::platform {

// Every drive letter in use now, in letter order, its root written as Windows
// writes it ("C:\") with the type Windows gives it. The serial is left to
// ReadVolumeSerial, since reading it may spin up a drive.
std::vector<Volume> ListLogicalDrives();

// The serial of the volume in the drive at `root`, or NoVolumeSerial when the
// drive holds no readable volume. An empty drive answers at once: the system's
// "insert a disk" box is switched off for the question.
std::uint32_t ReadVolumeSerial(const std::string& root);

class DriveLetterDrives final : public Drives {
public:
    // Every drive letter in use now (ListLogicalDrives). No fences: listings
    // never enter the folders other volumes are mounted in.
    DriveTable ReadTable() const override;
    std::uint32_t ReadLiveSerial(const Volume& volume) const override;
};

}  // namespace moxtrel::platform
