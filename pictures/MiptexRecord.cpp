#include "pictures/MiptexRecord.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "pictures/PictureNames.h"
#include "platform/LittleEndian.h"
#include "preview/MiptexPicture.h"

namespace moxtrel::pictures {

namespace {

using MiptexLayout::HeaderBytes;
using MiptexLayout::MipLevels;

double DecodeSrgb(double encoded) {
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double EncodeSrgb(double linear) {
    return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

// The linear light of each 8-bit sRGB value.
const std::array<double, 256>& LinearOfByte() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> linear{};
        for (std::size_t i = 0; i < linear.size(); ++i) linear[i] = DecodeSrgb(static_cast<double>(i) / 255.0);
        return linear;
    }();
    return table;
}

std::uint32_t ByteOfLinear(double linear) {
    double encoded = std::clamp(EncodeSrgb(std::clamp(linear, 0.0, 1.0)) * 255.0, 0.0, 255.0);
    return static_cast<std::uint32_t>(std::lround(encoded));
}

bool SeeThrough(const RgbaPicture& picture, std::size_t i, bool fence) {
    return fence && picture.Alpha(i) < OpaqueAlpha;
}

// The number of the block of `factor` x `factor` pixels whose top-left pixel is (x, y).
std::uint8_t BlockNumber(const RgbaPicture& picture, std::size_t x, std::size_t y, std::size_t factor, bool fence,
                         const PaletteMatcher& matcher) {
    LinearLightAverage average;
    std::size_t seeThrough = 0;
    auto width = static_cast<std::size_t>(picture.width);
    for (std::size_t row = y; row < y + factor; ++row) {
        for (std::size_t column = x; column < x + factor; ++column) {
            std::size_t i = row * width + column;
            if (SeeThrough(picture, i, fence)) {
                ++seeThrough;
            } else {
                average.Add(picture.Colour(i));
            }
        }
    }
    if (2 * seeThrough > factor * factor) return PaletteRanges::FenceTransparent;
    return matcher.Number(average.Colour(), fence);
}

// Level `level` (0 the full size) appended to `record`.
void AppendLevel(std::vector<unsigned char>& record, const RgbaPicture& picture, std::size_t level, bool fence,
                 const PaletteMatcher& matcher) {
    std::size_t factor = std::size_t{1} << level;
    auto width = static_cast<std::size_t>(picture.width), height = static_cast<std::size_t>(picture.height);
    for (std::size_t y = 0; y < height; y += factor) {
        for (std::size_t x = 0; x < width; x += factor) {
            if (level == 0) {
                std::size_t i = y * width + x;
                record.push_back(SeeThrough(picture, i, fence) ? PaletteRanges::FenceTransparent
                                                               : matcher.Number(picture.Colour(i), fence));
            } else {
                record.push_back(BlockNumber(picture, x, y, factor, fence, matcher));
            }
        }
    }
}

}  // namespace

void LinearLightAverage::Add(std::uint32_t colour) {
    const std::array<double, 256>& linear = LinearOfByte();
    m_red += linear[(colour >> 16) & 0xFFu];
    m_green += linear[(colour >> 8) & 0xFFu];
    m_blue += linear[colour & 0xFFu];
    ++m_count;
}

std::uint32_t LinearLightAverage::Colour() const {
    if (m_count == 0) return 0;
    double n = m_count;
    return (ByteOfLinear(m_red / n) << 16) | (ByteOfLinear(m_green / n) << 8) | ByteOfLinear(m_blue / n);
}

std::vector<unsigned char> MakeMiptexRecord(std::string_view name, const RgbaPicture& picture,
                                            const PaletteMatcher& matcher) {
    bool fence = IsFenceTexture(name);
    std::size_t pixels = picture.PixelCount();
    std::vector<unsigned char> record(HeaderBytes, 0);
    std::memcpy(record.data(), name.data(), std::min(name.size(), MiptexLayout::NameBytes - 1));
    platform::WriteInt32LE(&record[MiptexLayout::WidthField], picture.width);
    platform::WriteInt32LE(&record[MiptexLayout::HeightField], picture.height);
    std::size_t offset = HeaderBytes;
    for (std::size_t level = 0; level < MipLevels; ++level) {
        platform::WriteInt32LE(&record[MiptexLayout::OffsetsField + 4 * level],
                               static_cast<std::int32_t>(offset));
        offset += pixels >> (2 * level);
    }
    record.reserve(offset);
    for (std::size_t level = 0; level < MipLevels; ++level) AppendLevel(record, picture, level, fence, matcher);
    return record;
}

}  // namespace moxtrel::pictures
