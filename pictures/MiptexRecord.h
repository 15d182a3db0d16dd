#pragma once
// A texture's miptex record made from a picture: the full-size level mapped
// to the palette pixel by pixel, and the three smaller levels averaged from
// the full picture in linear light, then mapped the same way.

#include <string_view>
#include <vector>

#include "pictures/PaletteMatch.h"
#include "pictures/RgbaPicture.h"

namespace moxtrel::pictures {

// A pixel of a fence picture with alpha below this is see-through.
inline constexpr unsigned char OpaqueAlpha = 128;

// The record of texture `name` (at most 15 bytes): the 16-byte name padded
// with NULs, width and height, the four levels' offsets from the record's
// start, then the levels' colour numbers. The picture's sides are multiples
// of 8 (the caller checks the game's rule of 16). In a fence texture ('{'
// first) a see-through pixel becomes 255 and no other does; a smaller
// level's pixel is 255 when more than half of the pixels it covers are
// see-through, else the average of the others. Alpha counts nowhere else.
std::vector<unsigned char> MakeMiptexRecord(std::string_view name, const RgbaPicture& picture,
                                            const PaletteMatcher& matcher);

// The average of `count` sRGB-encoded colours (0x00RRGGBB) taken in linear
// light: each channel decoded from sRGB, averaged, and encoded again.
class LinearLightAverage {
public:
    void Add(std::uint32_t colour);
    int Count() const { return m_count; }
    std::uint32_t Colour() const;

private:
    double m_red = 0, m_green = 0, m_blue = 0;
    int m_count = 0;
};

}  // namespace moxtrel::pictures
