#pragma once
// A texture's first mip level as colours, read from a miptex record in a
// package once its header has been checked against the record
// (CheckMiptexHeader, formats/Miptex.h): the pixels are read in bounded pieces
// and scaled down on the way, so a texture of any size costs no more memory
// than its cell.

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/Miptex.h"
#include "formats/Palette.h"
#include "platform/File.h"

namespace moxtrel::preview {

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
