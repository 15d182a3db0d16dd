#include "pictures/PaletteMatch.h"

#include <limits>

namespace moxtrel::pictures {

namespace {

std::int64_t Red(std::uint32_t colour) {
    return (colour >> 16) & 0xFF;
}
std::int64_t Green(std::uint32_t colour) {
    return (colour >> 8) & 0xFF;
}
std::int64_t Blue(std::uint32_t colour) {
    return colour & 0xFF;
}

}  // namespace

std::int64_t RedmeanDistance(std::uint32_t a, std::uint32_t b) {
    std::int64_t redSum = Red(a) + Red(b);  // twice the mean red
    std::int64_t dr = Red(a) - Red(b), dg = Green(a) - Green(b), db = Blue(a) - Blue(b);
    return (1024 + redSum) * dr * dr + 2048 * dg * dg + (1534 - redSum) * db * db;
}

PaletteMatcher::PaletteMatcher(const Palette& palette) : m_palette(palette) {
    // Walked downwards, so where the palette repeats a colour the lowest number stays.
    for (int number = static_cast<int>(palette.size()) - 1; number >= 0; --number) {
        m_exact[palette[static_cast<std::size_t>(number)]] = static_cast<std::uint8_t>(number);
    }
}

std::uint8_t PaletteMatcher::Number(std::uint32_t colour, bool fence) const {
    colour &= 0xFFFFFFu;
    auto exact = m_exact.find(colour);
    if (exact != m_exact.end() && !(fence && exact->second == PaletteRanges::FenceTransparent)) return exact->second;
    return Nearest(colour);
}

std::uint8_t PaletteMatcher::Nearest(std::uint32_t colour) const {
    auto known = m_nearest.find(colour);
    if (known != m_nearest.end()) return known->second;
    std::uint8_t best = 0;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (int number = 0; number < PaletteRanges::FirstFullbright; ++number) {
        std::int64_t distance = RedmeanDistance(colour, m_palette[static_cast<std::size_t>(number)]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<std::uint8_t>(number);
        }
    }
    m_nearest.emplace(colour, best);
    return best;
}

}  // namespace moxtrel::pictures
