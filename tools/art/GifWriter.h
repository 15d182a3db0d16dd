#pragma once
// Writes a looping animated GIF in the sixteen-colour palette, with magenta as
// the transparent colour. Each frame replaces the previous one (it is cleared
// to transparent first), so a transparent animation leaves no trails.

#include <string>
#include <vector>

#include "Raster.h"

namespace moxtrel::art {

// All frames must have the same size and use only Palette::All colours.
// Returns false when the file cannot be written or a colour is not in the
// palette.
bool WriteAnimatedGif(const std::vector<Raster>& frames, int delayMilliseconds, const std::string& path);

}  // namespace moxtrel::art
