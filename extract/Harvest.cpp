#include "extract/Harvest.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "formats/Bsp.h"
#include "formats/Pak.h"
#include "formats/Wad.h"
#include "platform/File.h"
#include "platform/LittleEndian.h"

namespace moxtrel {

namespace {

constexpr const char* InvalidPakText = "Invalid Pak file.";
constexpr const char* InvalidPakCaption = "File IO Error";
// Maps rarely hold more textures than this; the offset list of such a map is
// read together with its count.
constexpr std::int64_t UsualTextureCount = 256;
// A package stores positions and sizes as signed 32-bit numbers.
constexpr std::int64_t LargestPackage = std::numeric_limits<std::int32_t>::max();

// One map of the archive's directory.
struct MapMember {
    std::string name;
    std::int32_t position = 0;
};

// A window over the archive for the small reads of a texture lump (its count,
// its offset list, the name of each record). A read that misses the window
// fills it from the read's position up to the end the caller asks for, so the
// names of small textures lying close together come in with one system call.
class ArchiveWindow {
public:
    // Large enough to take in the names of several small textures, small
    // enough that the pixels read past on the way cost less than the calls saved.
    static constexpr std::int64_t MaxBytes = 16 * 1024;

    explicit ArchiveWindow(platform::File& pak) : m_pak(pak) {}

    // Copies `count` bytes at `position` into `buffer`; on a miss reads from
    // `position` to `windowEnd` (at least `count` bytes, at most MaxBytes).
    // False when the archive ends first.
    bool Read(std::int64_t position, void* buffer, std::size_t count, std::int64_t windowEnd) {
        auto wanted = static_cast<std::int64_t>(count);
        if (position < m_start || position + wanted > m_start + static_cast<std::int64_t>(m_bytes.size())) {
            std::int64_t length = std::clamp(windowEnd - position, wanted, std::max(wanted, MaxBytes));
            m_bytes.resize(static_cast<std::size_t>(length));
            m_bytes.resize(m_pak.ReadAt(position, m_bytes.data(), m_bytes.size()));
            m_start = position;
            if (m_bytes.size() < count) return false;
        }
        std::memcpy(buffer, m_bytes.data() + (position - m_start), count);
        return true;
    }

private:
    platform::File& m_pak;
    std::int64_t m_start = 0;
    std::vector<unsigned char> m_bytes;
};

// Everything the harvest of one archive needs to know while it walks the maps.
struct ArchiveContext {
    platform::File& pak;
    std::int64_t length;
    std::string name;
    TextureTable& table;
    WarningSink& warnings;
    // What warnings call the file: "archive", or "file" for a loose map.
    std::string kind = "archive";
    ArchiveWindow window{pak};
};

// The maps of the archive's directory, in directory order. A directory that
// reaches past the end of the archive yields the entries that are whole.
std::vector<MapMember> ReadMapMembers(ArchiveContext& archive) {
    auto warn = [&](const std::string& what) { archive.warnings.Warn(archive.name, "", what); };
    std::vector<MapMember> maps;
    for (const PakMember& member : ReadPakDirectory(archive.pak, archive.length, warn)) {
        if (IsBspEntry(member.name.c_str(), "bsp")) maps.push_back({member.name, member.position});
    }
    return maps;
}

// Where a map's texture lump lies in the archive, and how much of it is there.
struct TextureLump {
    std::int64_t start = 0;
    std::int64_t length = 0;
};

bool LocateTextureLump(ArchiveContext& archive, const MapMember& map, TextureLump& lump) {
    auto warn = [&](const std::string& what) { archive.warnings.Warn(archive.name, map.name, what); };
    std::int64_t fieldPosition = static_cast<std::int64_t>(map.position) + static_cast<std::int64_t>(BspLayout::TextureLumpField);
    if (map.position < 0 || fieldPosition + 8 > archive.length) {
        warn(archive.kind == "file" ? "the file is too short to be a map"
                                    : "the map starts at " + std::to_string(map.position) + ", outside the archive");
        return false;
    }
    unsigned char field[BspLayout::TextureLumpFieldBytes];
    if (!ReadExactlyAt(archive.pak, fieldPosition, field, sizeof field)) {
        warn("the map header is cut short");
        return false;
    }
    std::int32_t lumpPosition = platform::ReadInt32LE(field);
    std::int32_t lumpLength = platform::ReadInt32LE(field + 4);
    lump.start = static_cast<std::int64_t>(map.position) + lumpPosition;
    lump.length = lumpLength;
    if (lumpLength == 0) return false;  // a map without textures
    if (lumpPosition < 0 || lumpLength < 4 || lump.start + 4 > archive.length) {
        warn("the texture lump (at " + std::to_string(lumpPosition) + ", " + std::to_string(lumpLength) +
             " bytes) lies outside the " + archive.kind);
        return false;
    }
    return true;
}

// The lump's offset list with the empty slots (-1) taken out, order kept.
bool ReadTextureOffsets(ArchiveContext& archive, const MapMember& map, const TextureLump& lump,
                        std::vector<std::int32_t>& offsets) {
    auto warn = [&](const std::string& what) { archive.warnings.Warn(archive.name, map.name, what); };
    unsigned char countField[4];
    // The list of a usual map comes in with its count.
    std::int64_t usualListEnd = lump.start + std::min<std::int64_t>(lump.length, 4 + 4 * UsualTextureCount);
    if (!archive.window.Read(lump.start, countField, sizeof countField, usualListEnd)) {
        warn("the texture lump is cut short");
        return false;
    }
    std::int64_t count = platform::ReadInt32LE(countField);
    std::int64_t listEnd = lump.start + 4 + 4 * count;
    if (count < 0 || 4 + 4 * count > lump.length || listEnd > archive.length) {
        warn("the texture count " + std::to_string(count) + " does not fit in the texture lump");
        return false;
    }
    std::vector<unsigned char> list;
    list.resize(static_cast<std::size_t>(count) * 4);
    if (!list.empty() && !archive.window.Read(lump.start + 4, list.data(), list.size(), listEnd)) {
        warn("the texture lump is cut short");
        return false;
    }
    offsets.clear();
    for (std::size_t i = 0; i < list.size(); i += 4) {
        std::int32_t offset = platform::ReadInt32LE(list.data() + i);
        if (offset != BspLayout::EmptySlot) offsets.push_back(offset);
    }
    return true;
}

// Checks one texture's record against its lump and the archive, reading its
// name; false (with a warning) when the record cannot be taken whole.
bool ReadTextureRecord(ArchiveContext& archive, const MapMember& map, const TextureLump& lump,
                       std::int32_t offset, std::int64_t size, std::int64_t nameWindowEnd, TextureEntry& entry) {
    auto warn = [&](const std::string& what) { archive.warnings.Warn(archive.name, map.name, what); };
    std::int64_t position = lump.start + offset;
    if (offset < 0 || static_cast<std::int64_t>(offset) + 16 > lump.length || position + 16 > archive.length) {
        warn("texture offset " + std::to_string(offset) + " lies outside the texture lump");
        return false;
    }
    if (!archive.window.Read(position, entry.name.data(), entry.name.size(), nameWindowEnd)) {
        warn("texture offset " + std::to_string(offset) + ": the record is cut short");
        return false;
    }
    std::string name = DisplayName(entry.name);
    if (size < 0) {
        warn("texture " + name + ": the offsets do not ascend (size " + std::to_string(size) + ")");
        return false;
    }
    if (position + size > archive.length) {
        warn("texture " + name + ": its " + std::to_string(size) + " bytes reach past the end of the " + archive.kind);
        return false;
    }
    // The package's directory holds 32-bit positions: a record beyond them
    // would be copied from the wrong place.
    if (position + size > LargestPackage) {
        warn("texture " + name + ": it lies beyond the first 2 GB of the " + archive.kind);
        return false;
    }
    std::int64_t packageLength = static_cast<std::int64_t>(WadLayout::HeaderBytes) + archive.table.TotalSize() + size +
                                 static_cast<std::int64_t>(WadLayout::DirEntryBytes) * (static_cast<std::int64_t>(archive.table.Count()) + 1);
    if (packageLength > LargestPackage) {
        warn("texture " + name + ": the package would grow beyond 2 GB");
        return false;
    }
    entry.position = static_cast<std::int32_t>(position);
    entry.size = static_cast<std::int32_t>(size);
    entry.source = &archive.pak;
    entry.archiveName = archive.name;
    entry.mapName = map.name;
    return true;
}

// Where a window that reads record i's name should end: after the last of
// the names that follow it in ascending order within the window's reach.
// Each name is looked at once over the whole lump, however the offsets lie.
class NameWindows {
public:
    NameWindows(const std::vector<std::int32_t>& offsets, std::int64_t lumpStart)
        : m_offsets(offsets), m_lumpStart(lumpStart) {}

    std::int64_t WindowEndFor(std::size_t i) {
        if (m_windowRead && i <= m_coveredUpTo) return m_end;  // the current window holds it
        std::int64_t first = NameStart(i);
        std::size_t last = i;
        while (last + 1 < m_offsets.size() && m_offsets[last + 1] > m_offsets[last] &&
               NameStart(last + 1) + NameBytes - first <= ArchiveWindow::MaxBytes) {
            ++last;
        }
        m_windowRead = true;
        m_coveredUpTo = last;
        m_end = NameStart(last) + NameBytes;
        return m_end;
    }

private:
    static constexpr auto NameBytes = static_cast<std::int64_t>(MiptexLayout::NameBytes);
    std::int64_t NameStart(std::size_t i) const { return m_lumpStart + m_offsets[i]; }

    const std::vector<std::int32_t>& m_offsets;
    std::int64_t m_lumpStart;
    bool m_windowRead = false;
    std::size_t m_coveredUpTo = 0;
    std::int64_t m_end = 0;
};

void HarvestMap(ArchiveContext& archive, const MapMember& map) {
    TextureLump lump;
    if (!LocateTextureLump(archive, map, lump)) return;
    std::vector<std::int32_t> offsets;
    if (!ReadTextureOffsets(archive, map, lump, offsets)) return;
    NameWindows names(offsets, lump.start);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        // A record spans up to the next texture of the lump, or to the lump's end.
        std::int64_t next = i + 1 < offsets.size() ? offsets[i + 1] : lump.length;
        std::int64_t size = next - offsets[i];
        TextureEntry entry;
        if (!ReadTextureRecord(archive, map, lump, offsets[i], size, names.WindowEndFor(i), entry)) continue;
        archive.table.AddIfNew(std::move(entry));
    }
}

}  // namespace

bool IsBspEntry(const char* name, const char* ending) {
    std::size_t length = ::strnlen(name, PakLayout::NameBytes);
    const char* dot = static_cast<const char*>(std::memchr(name, '.', length));
    if (!dot) return false;
    std::string_view after(dot + 1, static_cast<std::size_t>(name + length - (dot + 1)));
    return after == ending;
}

bool HarvestPakTextures(platform::File& pak, TextureTable& table, MessageSink& messages, WarningSink& warnings) {
    if (!HasPakMagic(pak)) {
        messages.ShowMessage(InvalidPakText, InvalidPakCaption, MessageKind::Exclamation,
                             platform::AbsolutePath(pak.GetFilePath()) + ": it does not begin with \"PACK\"");
        return false;
    }
    ArchiveContext archive{pak, pak.GetLength(), pak.GetFileName(), table, warnings};
    for (const MapMember& map : ReadMapMembers(archive)) HarvestMap(archive, map);
    return true;
}

void HarvestLooseMap(platform::File& map, TextureTable& table, WarningSink& warnings, const std::string& folder) {
    ArchiveContext file{map, map.GetLength(), folder, table, warnings, "file"};
    HarvestMap(file, MapMember{map.GetFileName(), 0});
}

}  // namespace moxtrel
