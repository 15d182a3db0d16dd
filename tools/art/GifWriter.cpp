#include "GifWriter.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <optional>

namespace moxtrel::art {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int PaletteBits = 4;  // 16 colours
constexpr int ClearCode = 1 << PaletteBits;
constexpr int EndCode = ClearCode + 1;
constexpr int MaxCodes = 4096;  // codes are at most 12 bits

void PutU16(Bytes& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

std::optional<std::uint8_t> PaletteIndex(Colour c) {
    for (std::size_t i = 0; i < std::size(Palette::All); ++i) {
        if (Palette::All[i].r == c.r && Palette::All[i].g == c.g && Palette::All[i].b == c.b) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return std::nullopt;
}

// Packs variable-width codes least significant bit first.
class BitPacker {
public:
    void Put(int code, int width) {
        m_buffer |= static_cast<std::uint32_t>(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    Bytes Finish() {
        if (m_bits > 0) m_bytes.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
        return m_bytes;
    }

private:
    std::uint32_t m_buffer = 0;
    int m_bits = 0;
    Bytes m_bytes;
};

// LZW-compresses palette indices the way GIF decoders expect: the code width
// grows when the next code no longer fits, and the table starts over when it
// is full.
Bytes Compress(const Bytes& indices) {
    // A trie of strings: children[node][index] is the code of node's string
    // followed by index, or 0 when there is none yet.
    std::vector<std::array<int, ClearCode>> children;
    int nextCode = 0;
    int width = PaletteBits + 1;
    auto reset = [&] {
        children.assign(ClearCode + 2, {});
        nextCode = EndCode + 1;
        width = PaletteBits + 1;
    };
    reset();
    BitPacker out;
    out.Put(ClearCode, width);
    int current = indices.empty() ? -1 : indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        std::uint8_t index = indices[i];
        int child = children[static_cast<std::size_t>(current)][index];
        if (child != 0) {
            current = child;
            continue;
        }
        out.Put(current, width);
        if (nextCode < MaxCodes) {
            if (nextCode == (1 << width)) ++width;
            children[static_cast<std::size_t>(current)][index] = nextCode++;
            children.emplace_back();
        } else {
            out.Put(ClearCode, width);
            reset();
        }
        current = index;
    }
    if (current >= 0) out.Put(current, width);
    out.Put(EndCode, width);
    return out.Finish();
}

// Image data goes out in sub-blocks of at most 255 bytes, then an empty one.
void PutSubBlocks(Bytes& out, const Bytes& data) {
    for (std::size_t pos = 0; pos < data.size(); pos += 255) {
        std::size_t n = std::min<std::size_t>(255, data.size() - pos);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                   data.begin() + static_cast<std::ptrdiff_t>(pos + n));
    }
    out.push_back(0);
}

}  // namespace

bool WriteAnimatedGif(const std::vector<Raster>& frames, int delayMilliseconds, const std::string& path) {
    if (frames.empty()) return false;
    const int width = frames[0].Width(), height = frames[0].Height();
    const std::uint8_t transparent = *PaletteIndex(Palette::Magenta);

    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(gif, width);
    PutU16(gif, height);
    gif.push_back(0x80 | 0x70 | (PaletteBits - 1));  // global palette of 16 colours, 8 bits a primary
    gif.push_back(transparent);                       // background colour
    gif.push_back(0);                                 // square pixels
    for (const Colour& c : Palette::All) gif.insert(gif.end(), {c.r, c.g, c.b});
    // Loop for ever.
    const char netscape[] = "NETSCAPE2.0";
    gif.insert(gif.end(), {0x21, 0xFF, 11});
    gif.insert(gif.end(), netscape, netscape + 11);
    gif.insert(gif.end(), {3, 1, 0, 0, 0});

    for (const Raster& frame : frames) {
        if (frame.Width() != width || frame.Height() != height) return false;
        Bytes indices;
        indices.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::optional<std::uint8_t> index = PaletteIndex(frame.At(x, y));
                if (!index) return false;
                indices.push_back(*index);
            }
        }
        // Graphic control: restore to background (transparent) after the
        // frame, with a transparent colour, and the delay in hundredths.
        gif.insert(gif.end(), {0x21, 0xF9, 4, (2 << 2) | 1});
        PutU16(gif, delayMilliseconds / 10);
        gif.insert(gif.end(), {transparent, 0});
        gif.push_back(0x2C);
        PutU16(gif, 0);
        PutU16(gif, 0);
        PutU16(gif, width);
        PutU16(gif, height);
        gif.push_back(0);  // no local palette, not interlaced
        gif.push_back(PaletteBits);
        PutSubBlocks(gif, Compress(indices));
    }
    gif.push_back(0x3B);

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(gif.data()), static_cast<std::streamsize>(gif.size()));
    return static_cast<bool>(file.flush());
}

}  // namespace moxtrel::art
