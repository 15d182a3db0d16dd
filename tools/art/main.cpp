// Writes the program's pictures as PNG icons and bitmaps and animated GIFs
// into the directory given on the command line; the build embeds them. With
// --desktop-icons it writes the desktop icon at each of its sizes instead, as
// PNG files for Linux's desktops and as one icon file for Windows'.
// wx is used only for its PNG encoder, without a display.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/init.h>
#include <wx/mstream.h>

#include "DesktopIcon.h"
#include "GifWriter.h"
#include "IconFile.h"
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

std::vector<std::uint8_t> PngBytes(const Raster& r) {
    wxMemoryOutputStream stream;
    if (!ToImage(r).SaveFile(stream, wxBITMAP_TYPE_PNG)) return {};
    const wxFileOffset length = stream.GetLength();
    if (length <= 0) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (stream.CopyTo(bytes.data(), bytes.size()) != bytes.size()) return {};
    return bytes;
}

bool SaveIconFile(const std::vector<IconImage>& images, const std::string& path) {
    for (const IconImage& image : images) {
        if (image.png.empty()) return false;
    }
    const std::vector<std::uint8_t> bytes = IconFile(images);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

// The desktop icon at each size, as desktop-icon-SIZE.png, and all sizes in
// moxtrel.ico, the Windows program's icon.
bool SaveDesktopIcons(const std::string& dir) {
    std::vector<IconImage> images;
    for (int size : DesktopIconSizes) {
        const Raster icon = DesktopIcon(size);
        if (!SavePng(icon, dir + "desktop-icon-" + std::to_string(size) + ".png")) return false;
        images.push_back({size, PngBytes(icon)});
    }
    return SaveIconFile(images, dir + "moxtrel.ico");
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
