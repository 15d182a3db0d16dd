#pragma once
// The 256 colours that a texture's pixel indices stand for. The game keeps
// them in the lump gfx/palette.lmp of its archives: 256 red, green, blue
// byte triples. A package holds only indices, so drawing it needs one.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "extract/Sinks.h"

namespace moxtrel::preview {

namespace PaletteLayout {
inline constexpr std::size_t Colours = 256;
inline constexpr std::size_t Bytes = 3 * Colours;
inline constexpr const char* MemberName = "gfx/palette.lmp";
}  // namespace PaletteLayout

// Each colour as 0x00RRGGBB.
using Palette = std::array<std::uint32_t, PaletteLayout::Colours>;

// No palette could be had from the source given; the message says what was
// tried and why it failed.
class PaletteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The palette of 768 bytes at `bytes`.
Palette PaletteFromBytes(const unsigned char* bytes);

// The palette of a game directory or of a palette file: a directory is
// searched for gfx/palette.lmp in its archives pak0.pak, pak1.pak, ... in
// that order, the first whole one winning; any other path must be a file of
// exactly 768 bytes. Members that cannot be used are told to `warnings`
// (archive, member, what) and passed over. Throws PaletteError.
Palette LoadPalette(const std::string& source, WarningSink& warnings);

}  // namespace moxtrel::preview
