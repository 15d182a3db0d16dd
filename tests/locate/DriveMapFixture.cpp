#include "locate/DriveMapFixture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "tools/GameWriter.h"

namespace moxtrel::test {

DriveMap::DriveMap() : m_mapPath((m_dir / "drives.map").string()) {
    Write();
}

DriveMap::~DriveMap() = default;

std::string DriveMap::AddDrive(const std::string& name, const std::string& type,
                               std::optional<std::uint32_t> serial, bool withMedia) {
    if (withMedia) std::filesystem::create_directories(m_dir / name);
    m_lines.push_back({name, type, serial});
    Write();
    return Root(name);
}

void DriveMap::SetSerial(const std::string& name, std::optional<std::uint32_t> serial) {
    for (Line& line : m_lines) {
        if (line.name == name) line.serial = serial;
    }
    Write();
}

std::string DriveMap::Root(const std::string& name) const {
    return (m_dir / name).string() + platform::Separator;
}

void DriveMap::Write() const {
    std::string temporary = m_mapPath + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "# drives of a test\n";
        for (const Line& line : m_lines) {
            out << (m_dir / line.name).string() << ' ' << line.type;
            if (line.serial) {
                char hex[16];
                std::snprintf(hex, sizeof hex, " %08X", *line.serial);
                out << hex;
            }
            out << '\n';
        }
        if (!out) throw std::runtime_error("cannot write the drive map");
    }
    std::filesystem::rename(temporary, m_mapPath);
}

// The paths are UTF-8, as the program's are, and reach the file system
// through the program's own conversion (on Windows the C library would take
// them in the ANSI code page).
void MakeDirectories(const std::string& path) {
    std::filesystem::create_directories(platform::ToFsPath(path));
}

void Touch(const std::string& path) {
    std::ofstream out(platform::ToFsPath(path), std::ios::binary | std::ios::trunc);
    out << "x";
    if (!out) throw std::runtime_error("cannot write " + path);
}

namespace {

void WriteFile(const std::string& path, const fixtures::Bytes& bytes) {
    std::ofstream out(platform::ToFsPath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

fixtures::Bytes PlayableArchive(const std::string& mapName, const std::string& textureName, std::uint32_t seed) {
    fixtures::Bytes lump = fixtures::MakeTextureLump({fixtures::MakeMiptex(textureName, 16, 16, seed)});
    return fixtures::MakePak({{"maps/" + mapName + ".bsp", fixtures::MakeBsp(lump)}});
}

}  // namespace

void WriteGame(const std::string& folder, const GameInstall& install) {
    MakeDirectories(folder);
    if (!install.executable.empty()) Touch(folder + "/" + install.executable);
    if (install.dataDirectory.empty()) return;
    std::string data = folder + "/" + install.dataDirectory;
    MakeDirectories(data);
    if (!install.pak0.empty()) {
        if (install.playable) {
            WriteFile(data + "/" + install.pak0, PlayableArchive("e1m1", "wall1", 1));
        } else {
            WriteFile(data + "/" + install.pak0, fixtures::MakePak({}));
        }
    }
    if (!install.pak1.empty()) {
        if (install.playable) {
            WriteFile(data + "/" + install.pak1, PlayableArchive("e2m1", "+0slime", 2));
        } else {
            WriteFile(data + "/" + install.pak1, fixtures::MakePak({}));
        }
    }
}

}  // namespace moxtrel::test
