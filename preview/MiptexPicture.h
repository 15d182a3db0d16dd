#pragma once
// A texture's first mip level as colours, read from a miptex record in a
// package: the record's header is checked against the record before any
// pixel is read, and the pixels are read in bounded pieces and scaled down
// on the way, so a texture of any size costs no more memory than its cell.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"
#include "preview/Palette.h"

namespace moxtrel::preview {

namespace MiptexLayout {
inline constexpr std::size_t NameBytes = 16;
inline constexpr std::size_t WidthField = 16;
inline constexpr std::size_t HeightField = 20;
inline constexpr std::size_t OffsetsField = 24;
inline constexpr std::size_t MipLevels = 4;
inline constexpr std::size_t HeaderBytes = OffsetsField + 4 * MipLevels;  // 40
}  // namespace MiptexLayout

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

// A picture of `width` x `height` colours (0x00RRGGBB), row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> colours;
};

// The size a `width` x `height` texture is shown at in a square cell of
// `cell` pixels: its own size when it fits, otherwise scaled down to fit
// with its proportions kept (no side below one pixel).
struct ShownSize {
    int width;
    int height;
};
ShownSize FitInCell(std::int32_t width, std::int32_t height, int cell);

// Reads the first mip level of the record at `recordPosition` in `file` and
// gives it at `size` (at most the level's own size): each shown pixel is the
// average colour of the texture's pixels it covers. Returns nothing when the
// file ends before the pixels do. Throws platform::FileError.
std::optional<Picture> ReadShownPicture(platform::File& file, std::int64_t recordPosition,
                                        const MiptexHeader& header, const Palette& palette, ShownSize size);

}  // namespace moxtrel::preview
