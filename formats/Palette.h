#pragma once
// The palette: the 256 colours that a texture's pixel indices stand for,
// stored as 256 red, green, blue byte triples. The game keeps it in the lump
// gfx/palette.lmp of its archives.

#include <array>
#include <cstddef>
#include <cstdint>

namespace moxtrel {

namespace PaletteLayout {
inline constexpr std::size_t Colours = 256;
inline constexpr std::size_t Bytes = 3 * Colours;
inline constexpr const char* MemberName = "gfx/palette.lmp";
}  // namespace PaletteLayout

// Each colour as 0x00RRGGBB.
using Palette = std::array<std::uint32_t, PaletteLayout::Colours>;

// The palette of 768 bytes at `bytes`.
Palette PaletteFromBytes(const unsigned char* bytes);

}  // namespace moxtrel
