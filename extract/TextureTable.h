#pragma once
// The harvested textures of one extraction run: each texture name once, in the
// order of first finding, with where its miptex record lies in its archive.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "formats/Miptex.h"

namespace moxtrel {

// One kept texture.
struct TextureEntry {
    // The miptex name exactly as stored, all 16 bytes, bytes after the NUL included.
    TextureName name{};
    // The record's first byte in its source archive; the package writer
    // replaces it with the record's position in the package.
    std::int32_t position = 0;
    // The record's length: the distance to the next texture of the same lump,
    // or to the end of the lump for the last one.
    std::int32_t size = 0;
    // The open archive that holds the record; it must stay open until the
    // package's lumps are written.
    platform::File* source = nullptr;
    // Where the record came from, for warnings: the archive's and the map's names.
    std::string archiveName;
    std::string mapName;
};

class TextureTable {
public:
    // Room for the textures of a whole game without growing; the table grows
    // beyond it, so no texture is ever dropped for want of a slot.
    static constexpr std::size_t InitialCapacity = 800;

    TextureTable();

    // Adds `entry` unless a texture of the same name is already in the table;
    // the first finding of a name wins. Returns whether it was added.
    bool AddIfNew(TextureEntry entry);
    bool Contains(const TextureName& name) const;

    // Called with the kept entry and the later finding each time AddIfNew
    // turns a name away, for a run that reports which copy was kept.
    using RepeatHandler = std::function<void(const TextureEntry& kept, const TextureEntry& repeat)>;
    void OnRepeat(RepeatHandler handler) { m_onRepeat = std::move(handler); }

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool Empty() const { return m_entries.empty(); }
    TextureEntry& operator[](std::size_t i) { return m_entries[i]; }
    const TextureEntry& operator[](std::size_t i) const { return m_entries[i]; }
    std::vector<TextureEntry>::iterator begin() { return m_entries.begin(); }
    std::vector<TextureEntry>::iterator end() { return m_entries.end(); }
    std::vector<TextureEntry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<TextureEntry>::const_iterator end() const { return m_entries.end(); }

    // The bytes of all records together, for the package's length limit.
    std::int64_t TotalSize() const { return m_totalSize; }

    void Clear();

private:
    std::vector<TextureEntry> m_entries;
    std::unordered_map<std::string, std::size_t> m_names;  // name -> index of its entry
    std::int64_t m_totalSize = 0;
    RepeatHandler m_onRepeat;
};

}  // namespace moxtrel
