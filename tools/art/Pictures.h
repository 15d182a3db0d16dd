#pragma once
// The program's pictures, drawn in code: the icons of the main dialog and the
// About box, the drive and folder strip of the directory tree, and the frames
// of the two animations. Each function returns the picture at the size asked.

#include <vector>

#include "Raster.h"

namespace moxtrel::art {

// Icon 128, the program: a red arrow pointing down into a black square and a
// blue arrow leaving it to the right. `size` is 32 or 16.
Raster ProgramIcon(int size);
// Icon 135, Manual Locate: a drive joined by a dotted tree line to an open folder.
Raster LocateIcon();
// Icon 136, Search: a magnifying glass over a gear wheel.
Raster SearchIcon();
// Icon 137, Begin: a detonator plunger wired to sticks of dynamite.
Raster BeginIcon();
// Icon 139, the step pointer: a small yellow arrow pointing right. `size` is 32 or 16.
Raster PointerIcon(int size);

// Bitmap 134: seven 16 x 16 images side by side on magenta (the transparent
// colour): hard disk, floppy drive, CD-ROM drive, network drive, RAM disk,
// closed folder, open folder.
Raster DriveAndFolderStrip();

// Animation 132: 17 frames of 260 x 40, textures flying from an archive crate
// into the package, on magenta (transparent).
std::vector<Raster> ExtractionFrames();
// Animation 129: 8 frames of 48 x 45, a magnifying glass passing over a
// computer, on magenta (transparent).
std::vector<Raster> SearchFrames();

}  // namespace moxtrel::art
