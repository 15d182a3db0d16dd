#pragma once
// Where the contact sheet gets its palette: a package holds only pixel
// indices, so drawing it needs the colours they stand for (formats/Palette.h).

#include <stdexcept>
#include <string>

#include "formats/Palette.h"
#include "platform/Sinks.h"

namespace moxtrel::preview {

// No palette could be had from the source given; the message says what was
// tried and why it failed.
class PaletteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The palette of a game directory or of a palette file: a directory is
// searched for gfx/palette.lmp in its archives pak0.pak, pak1.pak, ... in
// that order, the first whole one winning; any other path must be a file of
// exactly 768 bytes. Members that cannot be used are told to `warnings`
// (archive, member, what) and passed over. Throws PaletteError.
Palette LoadPalette(const std::string& source, WarningSink& warnings);

}  // namespace moxtrel::preview
