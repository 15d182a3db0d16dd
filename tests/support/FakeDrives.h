#pragma once
// Drives held in memory, for tests of what the tree and the scan do with
// them: the test sets the drives and the serials of the media in them, and
// every snapshot taken is counted. A drive's root may be a real folder, for
// what lists it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Drives.h"

namespace moxtrel::test {

class FakeDrives final : public platform::Drives {
public:
    // Adds a drive at `root` (a trailing separator is added) holding a
    // medium with `serial`; NoVolumeSerial is an empty drive. Returns the root.
    std::string AddDrive(const std::string& root, platform::DriveType type, std::uint32_t serial);
    // Puts a medium with `serial` in the drive at `root` (NoVolumeSerial takes it out).
    void SetSerial(const std::string& root, std::uint32_t serial);

    // How many snapshots were taken.
    int TableReads() const { return m_tableReads; }

    platform::DriveTable ReadTable() const override;
    std::uint32_t ReadLiveSerial(const platform::Volume& volume) const override;

private:
    std::vector<platform::Volume> m_volumes;
    std::map<std::string, std::uint32_t> m_serials;
    mutable int m_tableReads = 0;
};

}  // namespace moxtrel::test
