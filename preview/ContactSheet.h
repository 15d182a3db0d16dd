#pragma once
// A contact sheet of a package: every texture's first mip level in a grid of
// cells on a light background, scaled down to its cell when larger, with its
// name under it, drawn page by page and encoded as PNG with cairo. A record
// that cannot be drawn becomes a crossed box with its name and a warning.
// Only one page is held in memory at a time.

#include <functional>
#include <string>
#include <vector>

#include "formats/Wad.h"
#include "platform/File.h"
#include "platform/Sinks.h"
#include "preview/Palette.h"

namespace moxtrel::preview {

struct SheetOptions {
    int width = 1600;  // pixels; at least SheetGrid::MinWidth(cell)
    int cell = 128;    // the side of a texture's square cell
};

struct SheetSummary {
    int pages = 0;
    int shown = 0;    // textures drawn
    int damaged = 0;  // records drawn as crossed boxes
    int skipped = 0;  // lumps that are not textures
};

// Receives each page as it is finished: its number (from 1) and its PNG bytes.
using PageWriter = std::function<void(int pageNumber, const std::vector<unsigned char>& png)>;

// Draws the sheet of `wad`, read from the open `file`, in `palette`'s colours.
// Records that are damaged, and lumps that are not textures (left out), are
// told to `warnings` as (package, "texture NAME", what). Throws
// platform::FileError when the system fails a read, std::runtime_error when
// cairo cannot make or encode a page, and whatever `writePage` throws.
SheetSummary DrawContactSheet(const WadContents& wad, platform::File& file, const Palette& palette,
                              const SheetOptions& options, const PageWriter& writePage, WarningSink& warnings);

// Frees the font caches that cairo and fontconfig keep for the whole process
// once a name has been drawn. They are reused, not leaked, but a leak checker
// cannot tell. Only for a process that uses fonts for nothing else (a window
// toolkit shares fontconfig): one is made before the sheet is drawn and frees
// them when it goes, whatever ended the drawing.
class DrawingCachesRelease {
public:
    DrawingCachesRelease() = default;
    ~DrawingCachesRelease();
    DrawingCachesRelease(const DrawingCachesRelease&) = delete;
    DrawingCachesRelease& operator=(const DrawingCachesRelease&) = delete;
};

}  // namespace moxtrel::preview
