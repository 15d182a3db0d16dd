#pragma once
// The textures of a package or a map, read for turning into pictures: each
// record's header is checked against the record before its pixels are read,
// and a record that cannot be read whole is left out with a warning.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Sinks.h"
#include "pictures/RgbaPicture.h"
#include "platform/File.h"
#include "preview/MiptexPicture.h"
#include "formats/Palette.h"
#include "preview/Palette.h"

namespace moxtrel::pictures {

// A texture whose record's header was found sound.
struct SourceTexture {
    std::string name;           // the name's bytes up to its NUL
    std::int64_t position = 0;  // the record's first byte in the file
    MiptexHeader header;
};

// A texture's full-size level: one colour number a pixel, row by row.
struct IndexedPicture {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> numbers;
};

class TextureSource {
public:
    // Opens the file at `path`. One that begins with "WAD2" is a package,
    // whose lumps are taken in directory order; one that begins with a map's
    // version (29, "BSP2" or "2PSB") is a map, whose texture lump is read as
    // the extraction reads a loose map (each name once, first finding wins).
    // A damaged record, a lump that is not a texture and a texture without a
    // name are told to `warnings` as (file, "texture NAME", what) and left
    // out. Throws PictureError when the file is neither, WadFormatError when
    // the package is malformed, platform::FileError when it cannot be read.
    TextureSource(const std::string& path, WarningSink& warnings);

    const std::vector<SourceTexture>& Textures() const { return m_textures; }
    // The path of the file read, as it was found on disk.
    const std::string& Path() const { return m_file.GetFilePath(); }

    // The full-size level of `texture`; nothing, after a warning, when the
    // file has become shorter than its record. Throws platform::FileError.
    std::optional<IndexedPicture> ReadFullSize(const SourceTexture& texture);

private:
    void ReadPackage(const std::string& path);
    void ReadMap();
    // Checks the record of `recordBytes` bytes at `position` and keeps it
    // when its header is sound.
    void AddRecord(const std::string& name, std::int64_t position, std::int64_t recordBytes);
    void Warn(const std::string& name, const std::string& what);

    platform::File m_file;
    std::string m_fileName;
    WarningSink& m_warnings;
    std::vector<SourceTexture> m_textures;
};

// `picture` in `palette`'s colours, every pixel opaque except colour 255 of a
// fence texture ('{' first), which is see-through (alpha 0).
RgbaPicture ColourPicture(const IndexedPicture& picture, const Palette& palette);

}  // namespace moxtrel::pictures
