#pragma once
// A Windows icon file (.ico) that holds one picture per size, each stored as
// PNG, which Windows reads in icon files from Vista on at every size.

#include <cstdint>
#include <vector>

namespace moxtrel::art {

struct IconImage {
    int size = 0;                     // width and height in pixels, 1 to 256
    std::vector<std::uint8_t> png;    // the picture as a PNG file
};

// The bytes of an icon file with `images` in the order given. Throws
// std::invalid_argument for a size outside 1 to 256 or more than 65535
// images.
std::vector<std::uint8_t> IconFile(const std::vector<IconImage>& images);

}  // namespace moxtrel::art
