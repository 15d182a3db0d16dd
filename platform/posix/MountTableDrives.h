#pragma once
// POSIX only: the drives of the kernel's mount table (/proc/self/mountinfo),
// the drives a program has when no drive map replaces them.

#include "platform/Drives.h"

namespace moxtrel::platform {

class MountTableDrives final : public Drives {
public:
    // One volume per directory mount point, ordered by mount path (so "/"
    // comes first), with the types the mount table gives; pseudo file systems
    // are listed as Unknown. The table is read once for the volumes and the
    // fences both. Without /proc the root is the one drive.
    DriveTable ReadTable() const override;
    // Derived from the mounted file system's identity.
    std::uint32_t ReadLiveSerial(const Volume& volume) const override;
};

}  // namespace moxtrel::platform
