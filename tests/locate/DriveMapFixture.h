#pragma once
// Drives made of temporary directories: a drive map file for the life of the
// object with the drives that read it, and game installations to put on them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Drives.h"
#include "support/TempDir.h"

namespace moxtrel::test {

class DriveMap {
public:
    DriveMap();
    ~DriveMap();
    DriveMap(const DriveMap&) = delete;
    DriveMap& operator=(const DriveMap&) = delete;

    // Adds a drive of `type` ("fixed", "removable", ...) at a new directory
    // named `name`, with a serial when given; without media its directory is
    // not made. Returns the drive's root, ending with a separator.
    std::string AddDrive(const std::string& name, const std::string& type,
                         std::optional<std::uint32_t> serial = std::nullopt, bool withMedia = true);
    // Changes the serial of a drive (a different medium was put in).
    void SetSerial(const std::string& name, std::optional<std::uint32_t> serial);
    std::string Root(const std::string& name) const;
    const std::string& MapPath() const { return m_mapPath; }
    // The drives of a program started with this drive map.
    const platform::Drives& Service() const { return m_service; }
    // A snapshot of the drives the map lists now.
    platform::DriveTable Drives() const { return m_service.ReadTable(); }

private:
    struct Line {
        std::string name;
        std::string type;
        std::optional<std::uint32_t> serial;
    };
    void Write() const;

    TempDir m_dir;
    std::string m_mapPath;
    platform::DriveMapDrives m_service{m_mapPath};
    std::vector<Line> m_lines;
};

struct GameInstall {
    std::string executable = "quake.exe";  // empty: none
    std::string dataDirectory = "id1";     // empty: none
    std::string pak0 = "PAK0.PAK";         // empty: none
    std::string pak1 = "PAK1.PAK";         // empty: none
    // Real archives with a map and its textures instead of empty archives.
    bool playable = false;
};

// Writes the files of `install` into `folder` (made as needed).
void WriteGame(const std::string& folder, const GameInstall& install = {});

// Makes `path` and its parents.
void MakeDirectories(const std::string& path);
// Writes a small file at `path`.
void Touch(const std::string& path);

}  // namespace moxtrel::test
