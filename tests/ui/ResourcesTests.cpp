// The pictures built into the program have the forms the windows expect.

#include <algorithm>
#include <string>
#include <vector>

#include <wx/gifdecod.h>
#include <wx/mstream.h>

#include "GuiTest.h"
#include "res/EmbeddedFiles.h"
#include "res/Pictures.h"
#include "support/HostPath.h"

namespace moxtrel::test {
namespace {

// A file the art tool wrote with the desktop icons.
wxString DesktopIconFile(const std::string& name) {
    return wxString((HostPath(MOXTREL_DESKTOP_ICON_DIR) / name).wstring());
}

const res::EmbeddedFile& File(const std::string& name) {
    for (const res::EmbeddedFile& file : res::EmbeddedFiles()) {
        if (name == file.name) return file;
    }
    throw std::runtime_error("no embedded file " + name);
}

TEST(Pictures, IconsHaveTheirSizesAndTransparentCorners) {
    const std::pair<int, int> icons[] = {{128, 32}, {128, 16}, {135, 32}, {136, 32}, {137, 32}, {139, 32}, {139, 16}};
    for (const auto& [id, size] : icons) {
        wxImage icon = res::LoadIconImage(id, size);
        ASSERT_TRUE(icon.IsOk()) << id << " at " << size;
        EXPECT_EQ(icon.GetSize(), wxSize(size, size)) << id;
        EXPECT_TRUE(icon.HasAlpha()) << id;
    }
    EXPECT_FALSE(res::LoadIconImage(135, 16).IsOk());
    EXPECT_EQ(res::ProgramIcons().GetIconCount(), 2u);
}

TEST(Pictures, TheDriveAndFolderStripHasSevenImagesOnMagenta) {
    wxBitmap strip = res::LoadDriveAndFolderStrip();
    ASSERT_TRUE(strip.IsOk());
    EXPECT_EQ(strip.GetSize(), wxSize(112, 16));
    EXPECT_NE(strip.GetMask(), nullptr);
    // Every image leaves its top-left corner transparent.
    wxImage image = strip.ConvertToImage();
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(image.IsTransparent(16 * i, 0)) << i;
}

TEST(Pictures, AnimationsHaveTheirFramesSizesAndRates) {
    struct Clip {
        const char* name;
        unsigned frames;
        wxSize size;
        long delayMs;
    };
    for (const Clip& clip : {Clip{"anim132.gif", 17, {260, 40}, 100}, Clip{"anim129.gif", 8, {48, 45}, 200}}) {
        SCOPED_TRACE(clip.name);
        wxMemoryInputStream stream(File(clip.name).data, File(clip.name).size);
        wxGIFDecoder gif;
        ASSERT_EQ(gif.LoadGIF(stream), wxGIF_OK);
        EXPECT_EQ(gif.GetFrameCount(), clip.frames);
        EXPECT_EQ(gif.GetAnimationSize(), clip.size);
        for (unsigned i = 0; i < gif.GetFrameCount(); ++i) {
            EXPECT_EQ(gif.GetDelay(i), clip.delayMs);
            // Each frame clears to transparent, so a moving picture leaves no trail.
            EXPECT_EQ(gif.GetDisposalMethod(i), wxANIM_TOBACKGROUND);
        }
    }
}

// The desktop icon is drawn for each size, not scaled from one picture: up to
// 32 pixels every pixel is fully clear or fully opaque (hard, pixel-sharp
// edges), from 48 pixels the edges are smoothed; each has clear corners and
// an opaque package where the design puts it.
TEST(Pictures, TheDesktopIconIsDrawnForEachSize) {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        wxImage icon(DesktopIconFile("desktop-icon-" + std::to_string(size) + ".png"), wxBITMAP_TYPE_PNG);
        ASSERT_TRUE(icon.IsOk());
        ASSERT_EQ(icon.GetSize(), wxSize(size, size));
        ASSERT_TRUE(icon.HasAlpha());
        const int last = size - 1;
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{last, 0}, std::pair{0, last}, std::pair{last, last}}) {
            EXPECT_EQ(icon.GetAlpha(x, y), 0) << x << "," << y;
        }
        // The package's lower left quarter (design grid 32: x 5 to 21, y 13 to 29).
        EXPECT_EQ(icon.GetAlpha(size * 8 / 32, size * 26 / 32), wxIMAGE_ALPHA_OPAQUE);
        int partlyClear = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const unsigned char alpha = icon.GetAlpha(x, y);
                partlyClear += alpha != 0 && alpha != wxIMAGE_ALPHA_OPAQUE;
            }
        }
        if (size <= 32) {
            EXPECT_EQ(partlyClear, 0);
        } else {
            EXPECT_GT(partlyClear, size);
        }
    }
}

// The Windows program's icon file holds the desktop icon at every size, each
// the same picture as the PNG of that size.
TEST(Pictures, TheIconFileHoldsTheDesktopIconAtEachSize) {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_ICO)) wxImage::AddHandler(new wxICOHandler);
    const wxString iconFile = DesktopIconFile("moxtrel.ico");
    const std::vector<int> sizes{16, 24, 32, 48, 64, 128, 256};
    ASSERT_EQ(wxImage::GetImageCount(iconFile, wxBITMAP_TYPE_ICO), static_cast<int>(sizes.size()));
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        SCOPED_TRACE(sizes[i]);
        wxImage fromIcon(iconFile, wxBITMAP_TYPE_ICO, static_cast<int>(i));
        wxImage png(DesktopIconFile("desktop-icon-" + std::to_string(sizes[i]) + ".png"), wxBITMAP_TYPE_PNG);
        ASSERT_TRUE(fromIcon.IsOk());
        ASSERT_EQ(fromIcon.GetSize(), png.GetSize());
        ASSERT_TRUE(fromIcon.HasAlpha());
        const auto pixels = static_cast<std::size_t>(sizes[i] * sizes[i]);
        EXPECT_TRUE(std::equal(png.GetData(), png.GetData() + pixels * 3, fromIcon.GetData()));
        EXPECT_TRUE(std::equal(png.GetAlpha(), png.GetAlpha() + pixels, fromIcon.GetAlpha()));
    }
}

}  // namespace
}  // namespace moxtrel::test
