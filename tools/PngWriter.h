#pragma once
// Writes PNG files of any colour type, bit depth and interlacing for the
// tests and the fuzzing seeds, with libpng's full interface (the program
// itself writes only 8-bit RGB and RGBA), and damages them on purpose.

#include <cstdint>
#include <vector>

#include "tools/GameWriter.h"

namespace moxtrel::fixtures {

enum class PngColour { Grey, GreyAlpha, Rgb, Rgba, Palette };

struct PngSpec {
    int width = 0;
    int height = 0;
    PngColour colour = PngColour::Rgb;
    int bitDepth = 8;  // 1, 2, 4 (grey and palette), 8 or 16 (not palette)
    bool interlaced = false;
    // The samples row by row, each pixel's channels in PNG order (a palette
    // index alone for Palette), each below 2^bitDepth.
    std::vector<std::uint16_t> samples;
    std::vector<std::uint32_t> palette;       // 0x00RRGGBB, for Palette
    std::vector<unsigned char> paletteAlpha;  // a tRNS chunk of the first entries' alpha, when not empty
};

// The PNG file of `spec`; throws std::runtime_error when libpng refuses it.
Bytes MakePng(const PngSpec& spec);

// Writes `width` and `height` into the PNG's header and the header's CRC
// after them, as a file claiming another size would have them.
void SetPngSize(Bytes& png, std::uint32_t width, std::uint32_t height);

// Puts the right CRC after each whole chunk, so a PNG changed on purpose (by
// a test or a fuzzer) is judged by what was changed rather than refused for
// its CRC.
void FixPngCrcs(Bytes& png);

}  // namespace moxtrel::fixtures
