#pragma once
// Pictures to and from PNG with libpng's simplified interface, which reads
// every colour type and bit depth (grey, palette with or without
// transparency, 16-bit, interlaced) into 8-bit RGBA and reports a damaged
// file as an error instead of ending the program.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "pictures/RgbaPicture.h"

namespace moxtrel::pictures {

namespace PictureLimits {
// The largest side of a picture that is read; its pixels are allocated only
// after the header has been checked against it.
inline constexpr unsigned MaxSide = 4096;
// The largest PNG file that is read: more than a 4096 x 4096 picture of
// 16-bit RGBA takes even stored without compression.
inline constexpr std::int64_t MaxFileBytes = std::int64_t{160} << 20;
}  // namespace PictureLimits

// A picture or a texture could not be read, made or written; the message
// names the file and says why.
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The picture of the PNG in `data`. A 16-bit PNG without colour-space
// information is taken as sRGB-encoded, as painting programs write them.
// Throws PictureError (without a file name) when the data is not a whole
// PNG, or when a side is larger than PictureLimits::MaxSide.
RgbaPicture DecodePng(const unsigned char* data, std::size_t size);

// The picture of the PNG file at `path`, opened as given (a link is followed).
// Throws PictureError naming `path`.
RgbaPicture ReadPngFile(const std::string& path);

// The picture as an 8-bit sRGB PNG: RGBA when `withAlpha`, else RGB (alpha
// dropped). Throws PictureError when libpng cannot encode it.
std::vector<unsigned char> EncodePng(const RgbaPicture& picture, bool withAlpha);

}  // namespace moxtrel::pictures
