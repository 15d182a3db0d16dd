#include "preview/MiptexPicture.h"

#include <algorithm>

namespace moxtrel::preview {

namespace {

// Pixels are read in pieces of this many bytes, whatever the texture's size.
constexpr std::size_t ReadPieceBytes = 64 * 1024;

// Running sums of the colours that fall into each shown pixel.
class ColourAverager {
public:
    explicit ColourAverager(ShownSize size) : m_sums(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height)) {}

    void Add(std::size_t shown, std::uint32_t colour) {
        Sum& sum = m_sums[shown];
        sum.red += colour >> 16;
        sum.green += (colour >> 8) & 0xFFu;
        sum.blue += colour & 0xFFu;
        ++sum.count;
    }

    std::vector<std::uint32_t> Averages() const {
        std::vector<std::uint32_t> colours;
        colours.reserve(m_sums.size());
        for (const Sum& sum : m_sums) {
            std::uint64_t n = std::max<std::uint64_t>(sum.count, 1);
            auto rounded = [n](std::uint64_t total) { return static_cast<std::uint32_t>((total + n / 2) / n); };
            colours.push_back((rounded(sum.red) << 16) | (rounded(sum.green) << 8) | rounded(sum.blue));
        }
        return colours;
    }

private:
    struct Sum {
        std::uint64_t red = 0, green = 0, blue = 0, count = 0;
    };
    std::vector<Sum> m_sums;
};

}  // namespace

ShownSize FitInCell(std::int32_t width, std::int32_t height, int cell) {
    if (width <= cell && height <= cell) return {width, height};
    // The longer side takes the whole cell; the other keeps the proportion, rounded.
    auto scaled = [cell](std::int64_t side, std::int64_t longest) {
        return static_cast<int>(std::max<std::int64_t>(1, (side * cell + longest / 2) / longest));
    };
    std::int64_t longest = std::max(width, height);
    return {scaled(width, longest), scaled(height, longest)};
}

std::optional<Picture> ReadShownPicture(platform::File& file, std::int64_t recordPosition,
                                        const MiptexHeader& header, const Palette& palette, ShownSize size) {
    const std::int64_t width = header.width;
    const std::int64_t height = header.height;
    ColourAverager averager(size);
    std::vector<unsigned char> piece(ReadPieceBytes);
    std::int64_t at = recordPosition + header.offsets[0];
    std::int64_t x = 0, y = 0;
    for (std::int64_t left = width * height; left > 0;) {
        auto count = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(piece.size())));
        if (!ReadExactlyAt(file, at, piece.data(), count)) return std::nullopt;
        for (std::size_t i = 0; i < count; ++i) {
            // Which shown pixel this texture pixel falls in.
            auto column = static_cast<std::size_t>(x * size.width / width);
            auto row = static_cast<std::size_t>(y * size.height / height);
            averager.Add(row * static_cast<std::size_t>(size.width) + column, palette[piece[i]]);
            if (++x == width) {
                x = 0;
                ++y;
            }
        }
        at += static_cast<std::int64_t>(count);
        left -= static_cast<std::int64_t>(count);
    }
    return Picture{size.width, size.height, averager.Averages()};
}

}  // namespace moxtrel::preview
