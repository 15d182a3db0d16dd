#include "pictures/TextureSource.h"

#include <algorithm>
#include <cstring>

#include "extract/Harvest.h"
#include "formats/Pak.h"
#include "formats/Wad.h"
#include "extract/WadWriter.h"
#include "pictures/PaletteMatch.h"
#include "pictures/PictureNames.h"
#include "pictures/PngPicture.h"
#include "platform/Text.h"
#include "platform//LittleEndian.h"
#include "preview/ContactSheet.h"

namespace moxtrel::pictures {

namespace {

constexpr std::int32_t MapVersion = 29;

std::string HexByte(unsigned char byte) {
    constexpr const char* Digits = "0123456789ABCDEF";
    return {Digits[byte >> 4], Digits[byte & 0xFu]};
}

enum class SourceKind { Package, Map, Other };

SourceKind KindOfSource(platform::File& file) {
    unsigned char magic[4] = {};
    if (!ReadExactlyAt(file, 0, magic, sizeof magic)) return SourceKind::Other;
    if (std::memcmp(magic, "WAD2", 4) == 0) return SourceKind::Package;
    if (platform::ReadInt32LE(magic) == MapVersion || std::memcmp(magic, "BSP2", 4) == 0 ||
        std::memcmp(magic, "2PSB", 4) == 0) {
        return SourceKind::Map;
    }
    return SourceKind::Other;
}

// The harvest names a loose map's warnings after its folder and the map; here
// the map is the file given, so its warnings name the file alone, as a
// package's do.
class MapFileWarnings : public WarningSink {
public:
    explicit MapFileWarnings(WarningSink& warnings) : m_warnings(warnings) {}
    void Warn(const std::string&, const std::string& map, const std::string& what) override {
        m_warnings.Warn(map, "", what);
    }

private:
    WarningSink& m_warnings;
};

}  // namespace

TextureSource::TextureSource(const std::string& path, WarningSink& warnings) : m_warnings(warnings) {
    if (!m_file.Open(path, platform::FileMode::ArchiveRead)) throw platform::FileError(m_file.LastOsError(), path);
    m_fileName = m_file.GetFileName();
    switch (KindOfSource(m_file)) {
        case SourceKind::Package: ReadPackage(m_file.GetFilePath()); break;
        case SourceKind::Map: ReadMap(); break;
        case SourceKind::Other:
            throw PictureError(path + ": neither a WAD2 package nor a map (version 29, BSP2 or 2PSB)");
    }
}

void TextureSource::ReadPackage(const std::string& path) {
    WadContents wad = ReadWad(path);
    for (const WadLump& lump : wad.lumps) {
        std::string name = DisplayName(lump.name);
        if (lump.type != WadLayout::MiptexType) {
            Warn(name, "a lump of type 0x" + HexByte(lump.type) + " is not a texture; left out");
        } else if (lump.compression != 0) {
            Warn(name, "it is stored compressed; left out");
        } else {
            AddRecord(name, lump.position, lump.diskSize);
        }
    }
}

void TextureSource::ReadMap() {
    TextureTable table;
    MapFileWarnings mapWarnings(m_warnings);
    HarvestLooseMap(m_file, table, mapWarnings, "");
    for (const TextureEntry& entry : table) AddRecord(DisplayName(entry.name), entry.position, entry.size);
}

void TextureSource::AddRecord(const std::string& name, std::int64_t position, std::int64_t recordBytes) {
    if (name.empty()) {
        Warn(name, "a texture without a name cannot be a picture file; left out");
        return;
    }
    unsigned char header[MiptexLayout::HeaderBytes] = {};
    std::size_t available = static_cast<std::size_t>(std::clamp<std::int64_t>(recordBytes, 0, sizeof header));
    std::string fault = "the file ends before its header";
    std::optional<MiptexHeader> checked;
    if (ReadExactlyAt(m_file, position, header, available)) {
        checked = CheckMiptexHeader(header, available, recordBytes, fault);
    }
    if (!checked) {
        Warn(name, fault + "; left out");
        return;
    }
    m_textures.push_back({name, position, *checked});
}

std::optional<IndexedPicture> TextureSource::ReadFullSize(const SourceTexture& texture) {
    IndexedPicture picture{texture.name, texture.header.width, texture.header.height, {}};
    // The header was checked against the record, and the record against the file.
    picture.numbers.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    if (!ReadExactlyAt(m_file, texture.position + texture.header.offsets[0], picture.numbers.data(),
                       picture.numbers.size())) {
        Warn(texture.name, "the file ends before its pixels; left out");
        return std::nullopt;
    }
    return picture;
}

void TextureSource::Warn(const std::string& name, const std::string& what) {
    m_warnings.Warn(m_fileName, "texture " + platform::ReadableText(name), what);
}

RgbaPicture ColourPicture(const IndexedPicture& picture, const Palette& palette) {
    bool fence = IsFenceTexture(picture.name);
    RgbaPicture colours{picture.width, picture.height, {}};
    colours.rgba.reserve(picture.numbers.size() * RgbaPicture::BytesPerPixel);
    for (unsigned char number : picture.numbers) {
        std::uint32_t colour = palette[number];
        bool seeThrough = fence && number == PaletteRanges::FenceTransparent;
        colours.rgba.insert(colours.rgba.end(),
                            {static_cast<unsigned char>(colour >> 16), static_cast<unsigned char>(colour >> 8),
                             static_cast<unsigned char>(colour), static_cast<unsigned char>(seeThrough ? 0 : 255)});
    }
    return colours;
}

}  // namespace moxtrel::pictures
