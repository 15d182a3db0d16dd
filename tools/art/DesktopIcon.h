#pragma once
// The program's icon for the desktop's menus, launchers and task switchers,
// drawn for each size a desktop asks for. The motif is the window icon's (a
// red arrow going down into a black package, a blue arrow leaving it to the
// right); each size gets the detail it can carry. Up to 32 pixels the shapes
// sit on whole pixels with hard edges, so they stay sharp; from 48 pixels the
// edges are smoothed, the arrows have a dark outline and the package shows
// texture tiles; from 128 pixels the package has a lit edge, the arrows a lit
// side, and the whole a soft shadow.

#include <array>

#include "Raster.h"

namespace moxtrel::art {

// The sizes the desktop icon is drawn at, in pixels (square).
inline constexpr std::array<int, 7> DesktopIconSizes{16, 24, 32, 48, 64, 128, 256};

// The icon at `size` pixels, on a transparent background.
Raster DesktopIcon(int size);

}  // namespace moxtrel::art
