#pragma once
// The miptex record, a texture as maps and packages store it: a 16-byte name,
// the width and height, then four offsets (from the record's first byte) of
// the mip levels, each a picture of palette indices halved again in size.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace moxtrel {

namespace platform {
class File;
}

namespace MiptexLayout {
inline constexpr std::size_t NameBytes = 16;
inline constexpr std::size_t WidthField = 16;
inline constexpr std::size_t HeightField = 20;
inline constexpr std::size_t OffsetsField = 24;
inline constexpr std::size_t MipLevels = 4;
inline constexpr std::size_t HeaderBytes = OffsetsField + 4 * MipLevels;  // 40
}  // namespace MiptexLayout

using TextureName = std::array<unsigned char, MiptexLayout::NameBytes>;

// The name as compared for duplicates: the bytes up to the first NUL (all 16
// when there is none). Letter case counts: "WALL" and "wall" are two textures.
std::string ComparableName(const TextureName& name);
// The name as shown to people in messages, listings and pictures: the same
// bytes, each one outside printable ASCII as \xNN (platform::ReadableText).
std::string DisplayName(const TextureName& name);

// A texture whose name begins with '+' (an animation frame) or '*' (a liquid).
bool IsAnimatedTexture(const TextureName& name);

// The header of a record whose levels all lie inside it.
struct MiptexHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::array<std::int32_t, MiptexLayout::MipLevels> offsets{};  // from the record's first byte
};

// Decodes the header at the start of a record of `recordBytes` bytes and
// checks it: a positive width and height, and each of the four levels (the
// full size, then halved three times) after the header and wholly inside the
// record. Returns the header, or sets `fault` to what is wrong in words fit
// for a warning and returns nothing. `header` holds the record's first bytes,
// `available` of them (a record shorter than a header is a fault too).
std::optional<MiptexHeader> CheckMiptexHeader(const unsigned char* header, std::size_t available,
                                              std::int64_t recordBytes, std::string& fault);

// The width and height a record states, unchecked.
struct MiptexSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The width and height of the record of `recordBytes` bytes at
// `recordPosition` in `file`; nothing when the record is too short to hold
// them or the file ends first. Throws platform::FileError when a read fails.
std::optional<MiptexSize> ReadMiptexSize(platform::File& file, std::int64_t recordPosition, std::int64_t recordBytes);

}  // namespace moxtrel
