// Writes the program's pictures as PNG icons and bitmaps and animated GIFs
// into the directory given on the command line; the build embeds them. With
// --desktop-icons it writes the desktop icon at each of its sizes instead.
// wx is used only for its PNG encoder, without a display.

#include <cstdio>
#include <string>

#include <wx/image.h>
#include <wx/init.h>

#include "DesktopIcon.h"
#include "GifWriter.h"
#include "Pictures.h"

using namespace moxtrel::art;

namespace {

bool HasClearPixels(const Raster& r) {
    for (int y = 0; y < r.Height(); ++y) {
        for (int x = 0; x < r.Width(); ++x) {
            if (r.At(x, y).a == 0) return true;
        }
    }
    return false;
}

wxImage ToImage(const Raster& r) {
    wxImage image(r.Width(), r.Height(), false);
    bool alpha = HasClearPixels(r);
    if (alpha) image.InitAlpha();
    for (int y = 0; y < r.Height(); ++y) {
        for (int x = 0; x < r.Width(); ++x) {
            Colour c = r.At(x, y);
            image.SetRGB(x, y, c.r, c.g, c.b);
            if (alpha) image.SetAlpha(x, y, c.a);
        }
    }
    return image;
}

bool SavePng(const Raster& r, const std::string& path) {
    return ToImage(r).SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}

// The desktop icon at each size, as desktop-icon-SIZE.png.
bool SaveDesktopIcons(const std::string& dir) {
    for (int size : DesktopIconSizes) {
        if (!SavePng(DesktopIcon(size), dir + "desktop-icon-" + std::to_string(size) + ".png")) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool desktopIcons = argc == 3 && std::string(argv[1]) == "--desktop-icons";
    if (argc != 2 && !desktopIcons) {
        std::fprintf(stderr, "usage: %s [--desktop-icons] OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    wxInitializer wx;
    if (!wx.IsOk()) return 1;
    wxImage::AddHandler(new wxPNGHandler);
    if (desktopIcons) {
        if (SaveDesktopIcons(std::string(argv[2]) + "/")) return 0;
        std::fprintf(stderr, "could not write the desktop icons into %s\n", argv[2]);
        return 1;
    }

    const std::string dir = std::string(argv[1]) + "/";
    bool ok = SavePng(ProgramIcon(32), dir + "icon128-32.png") && SavePng(ProgramIcon(16), dir + "icon128-16.png") &&
              SavePng(LocateIcon(), dir + "icon135.png") && SavePng(SearchIcon(), dir + "icon136.png") &&
              SavePng(BeginIcon(), dir + "icon137.png") && SavePng(PointerIcon(32), dir + "icon139-32.png") &&
              SavePng(PointerIcon(16), dir + "icon139-16.png") && SavePng(DriveAndFolderStrip(), dir + "bitmap134.png") &&
              WriteAnimatedGif(ExtractionFrames(), 100, dir + "anim132.gif") &&
              WriteAnimatedGif(SearchFrames(), 200, dir + "anim129.gif");
    if (!ok) {
        std::fprintf(stderr, "could not write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
