#include <gtest/gtest.h>

#include "pictures/PngPicture.h"
#include "tools/PngWriter.h"

namespace moxtrel::pictures {
namespace {

using fixtures::PngColour;
using fixtures::PngSpec;

// A picture of 4 x 1 pixels.
PngSpec FourPixels(PngColour colour, int bitDepth, std::vector<std::uint16_t> samples, bool interlaced = false,
                   std::vector<std::uint32_t> palette = {}, std::vector<unsigned char> paletteAlpha = {}) {
    return {4, 1, colour, bitDepth, interlaced, std::move(samples), std::move(palette), std::move(paletteAlpha)};
}

// Pixel `i` as 0xRRGGBBAA.
std::uint32_t Rgba(const RgbaPicture& picture, std::size_t i) {
    return (picture.Colour(i) << 8) | picture.Alpha(i);
}

TEST(PngPicture, EveryColourTypeAndBitDepthIsReadAsSrgbColoursWithAlpha) {
    struct Case {
        const char* what;
        PngSpec spec;  // 4 x 1 pixels
        std::vector<std::uint32_t> pixels;
    };
    const std::vector<std::uint32_t> palette = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    const std::vector<Case> cases = {
        {"grey 1-bit", FourPixels(PngColour::Grey, 1, {0, 1, 1, 0}), {0x000000FF, 0xFFFFFFFF, 0xFFFFFFFF, 0x000000FF}},
        {"grey 2-bit", FourPixels(PngColour::Grey, 2, {0, 1, 2, 3}), {0x000000FF, 0x555555FF, 0xAAAAAAFF, 0xFFFFFFFF}},
        {"grey 4-bit", FourPixels(PngColour::Grey, 4, {0, 8, 15, 1}), {0x000000FF, 0x888888FF, 0xFFFFFFFF, 0x111111FF}},
        {"grey 16-bit",
         FourPixels(PngColour::Grey, 16, {0, 0x8080, 0xFFFF, 0x1212}),
         {0x000000FF, 0x808080FF, 0xFFFFFFFF, 0x121212FF}},
        {"grey and alpha",
         FourPixels(PngColour::GreyAlpha, 8, {9, 255, 9, 0, 200, 127, 0, 128}),
         {0x090909FF, 0x09090900, 0xC8C8C87F, 0x00000080}},
        {"RGB 16-bit",
         FourPixels(PngColour::Rgb, 16,
                    {0x1234, 0x5678, 0x9ABC, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 0x0101, 0x0202, 0x0303}),
         {0x12569AFF, 0x000000FF, 0xFFFFFFFF, 0x010203FF}},
        {"RGBA 8-bit",
         FourPixels(PngColour::Rgba, 8, {1, 2, 3, 4, 5, 6, 7, 0, 8, 9, 10, 255, 11, 12, 13, 128}),
         {0x01020304, 0x05060700, 0x08090AFF, 0x0B0C0D80}},
        {"RGBA 16-bit",
         FourPixels(PngColour::Rgba, 16,
                    {0x0100, 0x0200, 0x0300, 0xFFFF, 0, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0x8080, 0x8080, 0x8080,
                     0xFFFF}),
         {0x010203FF, 0x00000000, 0xFFFFFFFF, 0x808080FF}},
        {"palette 2-bit with transparency",
         FourPixels(PngColour::Palette, 2, {0, 1, 2, 3}, false, palette, {0, 128}),
         {0x10203000, 0x40506080, 0x708090FF, 0xA0B0C0FF}},
        {"palette 8-bit",
         FourPixels(PngColour::Palette, 8, {3, 2, 1, 0}, false, palette),
         {0xA0B0C0FF, 0x708090FF, 0x405060FF, 0x102030FF}},
        {"interlaced RGB",
         FourPixels(PngColour::Rgb, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true),
         {0x010203FF, 0x040506FF, 0x070809FF, 0x0A0B0CFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fixtures::Bytes png = fixtures::MakePng(c.spec);
        RgbaPicture picture = DecodePng(png.data(), png.size());
        ASSERT_EQ(picture.width, 4);
        ASSERT_EQ(picture.height, 1);
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(Rgba(picture, i), c.pixels[i]) << std::hex << "pixel " << i;
    }
}

TEST(PngPicture, ADamagedOrOversizedPngIsAnErrorThatSaysWhy) {
    PngSpec spec{16, 16, PngColour::Rgb, 8, false, std::vector<std::uint16_t>(16 * 16 * 3, 7), {}, {}};
    const fixtures::Bytes whole = fixtures::MakePng(spec);
    auto resized = [&](std::uint32_t width, std::uint32_t height) {
        fixtures::Bytes png = whole;
        fixtures::SetPngSize(png, width, height);
        return png;
    };
    fixtures::Bytes badCrc = whole;
    badCrc[whole.size() - 20] ^= 0x55;  // inside the pixel data, whose CRC follows it
    struct Case {
        const char* what;
        fixtures::Bytes png;
        std::string error;
    };
    for (const Case& c : {
             Case{"not a PNG", fixtures::Bytes(100, 'x'), "the PNG cannot be read: "},
             Case{"cut short",
                  fixtures::Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)),
                  "the PNG is damaged: "},
             Case{"cut in its header", fixtures::Bytes(whole.begin(), whole.begin() + 20), "the PNG cannot be read: "},
             Case{"a wrong CRC", badCrc, "the PNG is damaged: "},
             Case{"4097 pixels wide", resized(4097, 16),
                  "the picture is 4097 x 16 pixels; a texture is at most 4096 on a side"},
             Case{"2^31-1 pixels high", resized(16, 0x7FFFFFFF), "the PNG cannot be read: "},
             Case{"claiming more pixels than it holds", resized(4096, 4096), "the PNG is damaged: "},
         }) {
        SCOPED_TRACE(c.what);
        try {
            DecodePng(c.png.data(), c.png.size());
            ADD_FAILURE() << "read";
        } catch (const PictureError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.error, 0), 0u) << error.what();
        }
    }
}

}  // namespace
}  // namespace moxtrel::pictures
