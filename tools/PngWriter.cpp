#include "tools/PngWriter.h"

#include <csetjmp>
#include <stdexcept>

#include <png.h>
#include <zlib.h>

namespace moxtrel::fixtures {

namespace {

int Channels(PngColour colour) {
    switch (colour) {
        case PngColour::Grey:
        case PngColour::Palette: return 1;
        case PngColour::GreyAlpha: return 2;
        case PngColour::Rgb: return 3;
        case PngColour::Rgba: return 4;
    }
    return 1;
}

int ColourType(PngColour colour) {
    switch (colour) {
        case PngColour::Grey: return PNG_COLOR_TYPE_GRAY;
        case PngColour::GreyAlpha: return PNG_COLOR_TYPE_GRAY_ALPHA;
        case PngColour::Rgb: return PNG_COLOR_TYPE_RGB;
        case PngColour::Rgba: return PNG_COLOR_TYPE_RGBA;
        case PngColour::Palette: return PNG_COLOR_TYPE_PALETTE;
    }
    return PNG_COLOR_TYPE_RGB;
}

// The rows as PNG stores them: samples below 8 bits packed from the high
// bit down, 16-bit samples big-endian.
std::vector<Bytes> PackedRows(const PngSpec& spec) {
    auto perRow = static_cast<std::size_t>(spec.width * Channels(spec.colour));
    auto depth = static_cast<unsigned>(spec.bitDepth);
    std::vector<Bytes> rows(static_cast<std::size_t>(spec.height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        Bytes& row = rows[y];
        row.assign((perRow * depth + 7) / 8, 0);
        for (std::size_t i = 0; i < perRow; ++i) {
            unsigned sample = spec.samples.at(y * perRow + i);
            if (depth == 16) {
                row[2 * i] = static_cast<unsigned char>(sample >> 8);
                row[2 * i + 1] = static_cast<unsigned char>(sample);
            } else {
                std::size_t bit = i * depth;
                row[bit / 8] = static_cast<unsigned char>(row[bit / 8] | (sample << (8 - depth - bit % 8)));
            }
        }
    }
    return rows;
}

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

}  // namespace

Bytes MakePng(const PngSpec& spec) {
    std::vector<Bytes> rows = PackedRows(spec);
    std::vector<png_bytep> rowPointers;
    for (Bytes& row : rows) rowPointers.push_back(row.data());
    std::vector<png_color> palette;
    for (std::uint32_t colour : spec.palette) {
        palette.push_back(
            {static_cast<png_byte>(colour >> 16), static_cast<png_byte>(colour >> 8), static_cast<png_byte>(colour)});
    }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng refused the test picture");
    }
    png_set_write_fn(png, &out, Append, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width), static_cast<png_uint_32>(spec.height), spec.bitDepth,
                 ColourType(spec.colour), spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()), nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

void SetPngSize(Bytes& png, std::uint32_t width, std::uint32_t height) {
    // The signature (8 bytes), then the header chunk: length, "IHDR", width, height, ...
    constexpr std::size_t WidthAt = 16;
    for (std::size_t i = 0; i < 4; ++i) {
        png[WidthAt + i] = static_cast<unsigned char>(width >> (24 - 8 * i));
        png[WidthAt + 4 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
    }
    FixPngCrcs(png);
}

void FixPngCrcs(Bytes& png) {
    // Each chunk after the 8-byte signature: its length, its type, its data, then the CRC of type and data.
    constexpr std::size_t SignatureBytes = 8, LengthBytes = 4, TypeBytes = 4, CrcBytes = 4;
    for (std::size_t at = SignatureBytes; at + LengthBytes + TypeBytes + CrcBytes <= png.size();) {
        std::size_t length = 0;
        for (std::size_t i = 0; i < LengthBytes; ++i) length = (length << 8) | png[at + i];
        std::size_t crcAt = at + LengthBytes + TypeBytes + length;
        if (length > png.size() || crcAt + CrcBytes > png.size()) return;
        uLong crc = crc32(0, png.data() + at + LengthBytes, static_cast<uInt>(TypeBytes + length));
        for (std::size_t i = 0; i < CrcBytes; ++i) png[crcAt + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
        at = crcAt + CrcBytes;
    }
}

}  // namespace moxtrel::fixtures
