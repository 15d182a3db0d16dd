#pragma once
// Which palette colour a picture's colour becomes. A colour that is exactly
// one of the palette's takes that colour's number, so a picture made from a
// texture gives back the same numbers. Any other colour takes the nearest
// palette colour by the "redmean" distance, a cheap weighting of the red,
// green and blue differences that follows what the eye sees better than a
// plain distance in RGB, and never a colour the game treats specially.

#include <cstdint>
#include <unordered_map>

#include "formats/Palette.h"
#include "preview/Palette.h"

namespace moxtrel::pictures {

namespace PaletteRanges {
// Colours 224 to 254 glow whatever the light (fullbright).
inline constexpr int FirstFullbright = 224;
// Colour 255 is see-through in a fence texture.
inline constexpr int FenceTransparent = 255;
}  // namespace PaletteRanges

// The redmean distance of two colours (0x00RRGGBB), scaled by 512 to stay in
// whole numbers: (2 + r/256) dR^2 + 4 dG^2 + (2 + (255 - r)/256) dB^2, where r
// is the mean of the two reds.
std::int64_t RedmeanDistance(std::uint32_t a, std::uint32_t b);

class PaletteMatcher {
public:
    explicit PaletteMatcher(const Palette& palette);

    // The number of the palette colour that `colour` (0x00RRGGBB) becomes in
    // a texture, of a fence texture when `fence`. An exact colour takes the
    // lowest number that has it (in a fence, never 255); any other the
    // nearest of colours 0 to 223, the lowest number on a tie.
    std::uint8_t Number(std::uint32_t colour, bool fence) const;

    const Palette& Colours() const { return m_palette; }

private:
    std::uint8_t Nearest(std::uint32_t colour) const;

    Palette m_palette;
    std::unordered_map<std::uint32_t, std::uint8_t> m_exact;  // colour -> lowest number that has it
    // Pictures repeat their colours: each inexact colour is searched once.
    mutable std::unordered_map<std::uint32_t, std::uint8_t> m_nearest;
};

}  // namespace moxtrel::pictures
