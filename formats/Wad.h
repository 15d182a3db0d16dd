#pragma once
// The WAD2 package: its layout, and the reader of its header and directory,
// which checks every count, position and length against the file's size, so a
// listing of any file, including a damaged one, never reads outside it.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/Miptex.h"

namespace moxtrel {

namespace WadLayout {
inline constexpr std::size_t HeaderBytes = 12;
inline constexpr std::size_t DirEntryBytes = 32;
inline constexpr unsigned char MiptexType = 0x44;  // 'D'
inline constexpr std::size_t DirectoryPositionField = 8;
}  // namespace WadLayout

// A directory entry of the package.
struct WadLump {
    std::int32_t position = 0;  // first byte of the lump in the package
    std::int32_t diskSize = 0;  // bytes the lump takes in the package
    std::int32_t size = 0;      // bytes of the lump once expanded
    unsigned char type = 0;     // 0x44 ('D') for a miptex
    unsigned char compression = 0;
    TextureName name{};         // all 16 bytes, bytes after the NUL included
};

struct WadContents {
    std::string fileName;  // without its directory
    std::int64_t length = 0;
    std::int32_t directoryPosition = 0;
    std::vector<WadLump> lumps;  // in directory order
};

// The file is not a well-formed WAD2 package; the message says where and what.
class WadFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the package at `path`. Throws platform::FileError when the file cannot
// be opened or read, WadFormatError when its contents are malformed.
WadContents ReadWad(const std::string& path);

// How many of the package's lumps are animated ('+' or '*' first) and simple.
struct WadTextureCounts {
    int simple = 0;
    int animated = 0;
};
WadTextureCounts CountWadTextures(const WadContents& wad);

}  // namespace moxtrel
