#include "res/Pictures.h"

#include <algorithm>
#include <string>

#include <wx/mstream.h>

#include "res/EmbeddedFiles.h"

namespace moxtrel::res {

namespace {

const EmbeddedFile* FindFile(const std::string& name) {
    for (const EmbeddedFile& file : EmbeddedFiles()) {
        if (name == file.name) return &file;
    }
    return nullptr;
}

wxImage LoadPng(const std::string& name) {
    const EmbeddedFile* file = FindFile(name);
    if (!file) return {};
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxMemoryInputStream stream(file->data, file->size);
    wxImage image;
    image.LoadFile(stream, wxBITMAP_TYPE_PNG);
    return image;
}

}  // namespace

wxImage LoadIconImage(int id, int size) {
    // Icons with one image are stored under their number alone.
    wxImage image = LoadPng("icon" + std::to_string(id) + "-" + std::to_string(size) + ".png");
    if (!image.IsOk() && size == 32) image = LoadPng("icon" + std::to_string(id) + ".png");
    return image;
}

wxIconBundle ProgramIcons() {
    wxIconBundle icons;
    for (int size : {32, 16}) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(LoadIconImage(IconProgram, size)));
        icons.AddIcon(icon);
    }
    return icons;
}

wxImage CentreImage(const wxImage& image, wxSize size) {
    wxImage centred(size, true);
    centred.InitAlpha();
    // InitAlpha makes a new image opaque; start from fully transparent.
    std::fill_n(centred.GetAlpha(), static_cast<std::size_t>(size.x) * static_cast<std::size_t>(size.y), 0);
    const int offsetX = (size.x - image.GetWidth()) / 2;
    const int offsetY = (size.y - image.GetHeight()) / 2;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            int tx = x + offsetX, ty = y + offsetY;
            if (tx < 0 || ty < 0 || tx >= size.x || ty >= size.y) continue;
            centred.SetRGB(tx, ty, image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
            centred.SetAlpha(tx, ty, image.HasAlpha() ? image.GetAlpha(x, y) : wxIMAGE_ALPHA_OPAQUE);
        }
    }
    return centred;
}

wxBitmap LoadDriveAndFolderStrip() {
    wxImage strip = LoadPng("bitmap" + std::to_string(BitmapDrivesAndFolders) + ".png");
    if (!strip.IsOk()) return {};
    wxBitmap bitmap(strip);
    bitmap.SetMask(new wxMask(bitmap, wxColour(255, 0, 255)));
    return bitmap;
}

wxAnimation LoadAnimation(int id, const wxAnimationCtrlBase& control) {
    const EmbeddedFile* file = FindFile("anim" + std::to_string(id) + ".gif");
    if (!file) return {};
    wxAnimation animation = control.CreateAnimation();
    wxMemoryInputStream stream(file->data, file->size);
    if (!animation.Load(stream, wxANIMATION_TYPE_GIF)) return {};
    return animation;
}

}  // namespace moxtrel::res
