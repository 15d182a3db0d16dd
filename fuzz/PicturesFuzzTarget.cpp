// The fuzzing entry points of textures as pictures: a PNG as "moxtrel-cli
// pack" reads it and makes a texture of it, and a package or map as
// "moxtrel-cli export" reads its records and writes them as PNG, in memory.

#include <algorithm>

#include "formats/Wad.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/MemoryFile.h"
#include "pictures/MiptexRecord.h"
#include "pictures/PictureNames.h"
#include "pictures/PngPicture.h"
#include "pictures/TextureSource.h"
#include "platform/LittleEndian.h"
#include "tools/PngWriter.h"

namespace moxtrel::fuzz {

namespace {

// 256 colours that all differ.
const Palette& FuzzPalette() {
    static const Palette palette = [] {
        Palette colours{};
        for (std::uint32_t i = 0; i < colours.size(); ++i)
            colours[i] = (i << 16) | ((255 - i) << 8) | ((i * 37) & 0xFFu);
        return colours;
    }();
    return palette;
}

// The full-size level keeps every palette colour's number, and gives no
// other colour a fullbright or see-through number; a fence is see-through
// exactly where alpha is below half.
std::string CheckFullSize(const pictures::RgbaPicture& picture, const unsigned char* numbers, bool fence) {
    const Palette& palette = FuzzPalette();
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        bool seeThrough = fence && picture.Alpha(i) < pictures::OpaqueAlpha;
        if (seeThrough != (fence && numbers[i] == 255)) return "pixel " + std::to_string(i) + " is see-through wrongly";
        if (seeThrough) continue;
        bool exact = palette[numbers[i]] == picture.Colour(i);
        bool exactExists = std::find(palette.begin(), palette.end() - (fence ? 1 : 0), picture.Colour(i)) !=
                           palette.end() - (fence ? 1 : 0);
        if (exactExists != exact) return "pixel " + std::to_string(i) + " lost its exact colour";
        if (!exact && numbers[i] >= 224) {
            return "pixel " + std::to_string(i) + " took a colour kept for glowing or see-through";
        }
    }
    return {};
}

std::string CheckRecord(const std::vector<unsigned char>& record, const pictures::RgbaPicture& picture, bool fence) {
    std::size_t pixels = picture.PixelCount();
    if (record.size() != 40 + pixels + pixels / 4 + pixels / 16 + pixels / 64) return "the record has the wrong length";
    if (platform::ReadInt32LE(&record[16]) != picture.width || platform::ReadInt32LE(&record[20]) != picture.height) {
        return "the record has the wrong size";
    }
    std::size_t offset = 40;
    for (std::size_t level = 0; level < 4; ++level) {
        if (platform::ReadInt32LE(&record[24 + 4 * level]) != static_cast<std::int32_t>(offset)) {
            return "a level is misplaced";
        }
        offset += pixels >> (2 * level);
    }
    return CheckFullSize(picture, &record[40], fence);
}

class CountingWarnings : public WarningSink {
public:
    void Warn(const std::string&, const std::string&, const std::string&) override { ++count; }
    int count = 0;
};

// The picture decodes to the palette's colours of the numbers, opaque but
// for colour 255 of a fence; its file name reads back to the texture's name.
std::string CheckExported(const pictures::IndexedPicture& numbers) {
    bool fence = pictures::IsFenceTexture(numbers.name);
    std::vector<unsigned char> png = pictures::EncodePng(pictures::ColourPicture(numbers, FuzzPalette()), fence);
    pictures::RgbaPicture decoded = pictures::DecodePng(png.data(), png.size());
    if (decoded.width != numbers.width || decoded.height != numbers.height) return "the picture has the wrong size";
    for (std::size_t i = 0; i < decoded.PixelCount(); ++i) {
        unsigned char alpha = fence && numbers.numbers[i] == 255 ? 0 : 255;
        if (decoded.Colour(i) != FuzzPalette()[numbers.numbers[i]] || decoded.Alpha(i) != alpha) {
            return "pixel " + std::to_string(i) + " of " + numbers.name + " is not its palette colour";
        }
    }
    std::string fault;
    std::optional<std::string> name = pictures::TextureNameOfPicture(pictures::PictureFileName(numbers.name), fault);
    if (numbers.name.size() <= pictures::MaxTextureNameBytes && name != numbers.name) {
        return "the file name does not read back";
    }
    return {};
}

// Reads the PNG and makes both textures of it; empty when all held or the PNG was refused.
std::string CheckPicture(const std::uint8_t* data, std::size_t size) {
    pictures::RgbaPicture picture;
    try {
        picture = pictures::DecodePng(data, size);
    } catch (const pictures::PictureError&) {
        return {};
    }
    if (picture.width <= 0 || picture.height <= 0 || picture.width > 4096 || picture.height > 4096 ||
        picture.rgba.size() != picture.PixelCount() * 4) {
        return "the picture's size is not what was allowed";
    }
    // Records are made of sides that are multiples of 8; the fuzzer's pictures
    // are cut down to them rather than thrown away.
    pictures::RgbaPicture cut{picture.width & ~7, picture.height & ~7, {}};
    if (cut.width == 0 || cut.height == 0) return {};
    for (int y = 0; y < cut.height; ++y) {
        auto row = picture.rgba.begin() + static_cast<std::ptrdiff_t>(y) * picture.width * 4;
        cut.rgba.insert(cut.rgba.end(), row, row + cut.width * 4);
    }
    pictures::PaletteMatcher matcher(FuzzPalette());
    for (const char* name : {"plain", "{fence"}) {
        std::string broken = CheckRecord(pictures::MakeMiptexRecord(name, cut, matcher), cut, name[0] == '{');
        if (!broken.empty()) return std::string(name) + ": " + broken;
    }
    return {};
}

}  // namespace

std::string MakeTextureOfPicture(const std::uint8_t* data, std::size_t size) {
    std::string broken = CheckPicture(data, size);
    if (!broken.empty()) return broken;
    // libpng refuses a chunk whose CRC does not match, which would end most of
    // the fuzzer's changes there: the input is read once more with its CRCs right.
    fixtures::Bytes fixed(data, data + size);
    fixtures::FixPngCrcs(fixed);
    return CheckPicture(fixed.data(), fixed.size());
}

std::string ExportTexturesAsPictures(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file("source.wad");
    if (!file.Usable() || !file.Fill(data, size)) return "no memory file for the input";
    CountingWarnings warnings;
    try {
        pictures::TextureSource source(file.Path(), warnings);
        for (const pictures::SourceTexture& texture : source.Textures()) {
            std::optional<pictures::IndexedPicture> numbers = source.ReadFullSize(texture);
            if (!numbers) return "a record checked whole could not be read";
            std::string broken = CheckExported(*numbers);
            if (!broken.empty()) return broken;
        }
    } catch (const pictures::PictureError& error) {
        // Only a source that is neither a package nor a map is refused whole.
        if (std::string(error.what()).find("neither a WAD2 package nor a map") == std::string::npos) {
            return error.what();
        }
    } catch (const WadFormatError&) {
    } catch (const platform::FileError& error) {
        return std::string("reading a file held in memory failed: ") + error.what();
    }
    return {};
}

}  // namespace moxtrel::fuzz
