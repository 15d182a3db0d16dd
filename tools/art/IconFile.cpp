#include "IconFile.h"

#include <limits>
#include <stdexcept>

namespace moxtrel::art {

namespace {

namespace IconLayout {
constexpr std::size_t HeaderSize = 6;
constexpr std::size_t EntrySize = 16;
constexpr std::uint16_t IconType = 1;
constexpr std::uint16_t BitsPerPixel = 32;
}  // namespace IconLayout

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

std::uint32_t CheckedU32(std::size_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max()) throw std::invalid_argument("icon file over 4 GiB");
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::vector<std::uint8_t> IconFile(const std::vector<IconImage>& images) {
    if (images.size() > std::numeric_limits<std::uint16_t>::max()) throw std::invalid_argument("too many icon images");
    std::vector<std::uint8_t> out;
    PutU16(out, 0);
    PutU16(out, IconLayout::IconType);
    PutU16(out, static_cast<std::uint16_t>(images.size()));
    std::size_t offset = IconLayout::HeaderSize + IconLayout::EntrySize * images.size();
    for (const IconImage& image : images) {
        if (image.size < 1 || image.size > 256) throw std::invalid_argument("icon size outside 1 to 256");
        // A byte holds the width and the height; 0 stands for 256.
        const auto side = static_cast<std::uint8_t>(image.size & 0xFF);
        out.push_back(side);
        out.push_back(side);
        out.push_back(0);  // no palette
        out.push_back(0);
        PutU16(out, 1);  // colour planes
        PutU16(out, IconLayout::BitsPerPixel);
        PutU32(out, CheckedU32(image.png.size()));
        PutU32(out, CheckedU32(offset));
        offset += image.png.size();
    }
    for (const IconImage& image : images) out.insert(out.end(), image.png.begin(), image.png.end());
    return out;
}

}  // namespace moxtrel::art
