#include "formats/Palette.h"

namespace moxtrel {

Palette PaletteFromBytes(const unsigned char* bytes) {
    Palette palette{};
    for (std::size_t i = 0; i < PaletteLayout::Colours; ++i) {
        const unsigned char* rgb = bytes + 3 * i;
        palette[i] = (std::uint32_t{rgb[0]} << 16) | (std::uint32_t{rgb[1]} << 8) | rgb[2];
    }
    return palette;
}

}  // namespace moxtrel
