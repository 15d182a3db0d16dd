#pragma once
// A picture as PNG files hold it once decoded: red, green, blue and alpha
// bytes for each pixel, row by row, the colours sRGB-encoded and not
// multiplied by alpha.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace moxtrel::pictures {

struct RgbaPicture {
    static constexpr std::size_t BytesPerPixel = 4;

    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    std::size_t PixelCount() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
    // Pixel `i`'s colour as 0x00RRGGBB, and its alpha (255 opaque).
    std::uint32_t Colour(std::size_t i) const {
        const unsigned char* pixel = &rgba[i * BytesPerPixel];
        return (std::uint32_t{pixel[0]} << 16) | (std::uint32_t{pixel[1]} << 8) | pixel[2];
    }
    unsigned char Alpha(std::size_t i) const { return rgba[i * BytesPerPixel + 3]; }
};

}  // namespace moxtrel::pictures
