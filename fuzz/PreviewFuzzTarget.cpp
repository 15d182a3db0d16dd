// The fuzzing entry point of the contact sheet: a package as given to
// "moxtrel-cli preview", drawn with a fixed palette into PNG pages in memory.

#include <cairo.h>

#include "formats/Wad.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/MemoryFile.h"
#include "platform/File.h"
#include "preview/ContactSheet.h"
#include "preview/SheetLayout.h"

namespace moxtrel::fuzz {

namespace {

class CountingWarnings : public WarningSink {
public:
    void Warn(const std::string&, const std::string&, const std::string&) override { ++count; }
    int count = 0;
};

struct PngReader {
    const std::vector<unsigned char>& png;
    std::size_t at = 0;
};

// The page decodes as a PNG of the sheet's width and a height within the limit.
std::string CheckPage(int number, const std::vector<unsigned char>& png, int width) {
    PngReader reader{png};
    auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto* from = static_cast<PngReader*>(closure);
        if (from->png.size() - from->at < length) return CAIRO_STATUS_READ_ERROR;
        std::copy_n(from->png.begin() + static_cast<std::ptrdiff_t>(from->at), length, data);
        from->at += length;
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(read, &reader);
    std::string broken;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        broken = "page " + std::to_string(number) + " does not decode as PNG";
    } else if (cairo_image_surface_get_width(surface) != width ||
               cairo_image_surface_get_height(surface) > preview::SheetLayout::MaxPageHeight) {
        broken = "page " + std::to_string(number) + " has the wrong size";
    }
    cairo_surface_destroy(surface);
    return broken;
}

}  // namespace

std::string DrawPackageSheet(const std::uint8_t* data, std::size_t size) {
    static MemoryFile memory("Quake.wad");
    if (!memory.Usable() || !memory.Fill(data, size)) return "no memory file for the input";
    WadContents wad;
    try {
        wad = ReadWad(memory.Path());
    } catch (const WadFormatError&) {
        return {};
    } catch (const platform::FileError& error) {
        return std::string("reading a file held in memory failed: ") + error.what();
    }

    platform::File file;
    if (!file.Open(memory.Path(), platform::FileMode::ArchiveRead)) return "the memory file cannot be opened";
    Palette palette{};
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<std::uint32_t>(i * 0x010203u);
    // Small cells keep each page small, so the fuzzer spends its time on the records.
    const preview::SheetOptions options{160, 32};
    CountingWarnings warnings;
    std::string broken;
    int pagesSeen = 0;
    auto writePage = [&](int number, const std::vector<unsigned char>& png) {
        if (number != ++pagesSeen) broken = "pages came out of order";
        if (broken.empty()) broken = CheckPage(number, png, options.width);
    };
    preview::SheetSummary summary;
    // Each input starts from no font caches, so the leak checker sees every
    // input give back all it took.
    preview::DrawingCachesRelease releaseFontsAtEnd;
    try {
        summary = preview::DrawContactSheet(wad, file, palette, options, writePage, warnings);
    } catch (const std::exception& error) {
        return std::string("drawing the sheet failed: ") + error.what();
    }
    if (!broken.empty()) return broken;
    int cells = summary.shown + summary.damaged;
    if (cells + summary.skipped != static_cast<int>(wad.lumps.size())) return "a lump was neither drawn nor left out";
    if (warnings.count != summary.damaged + summary.skipped) return "a damaged or left-out lump was not warned of";
    if (pagesSeen != summary.pages ||
        summary.pages != preview::SheetGrid(options.width, options.cell).PageCount(static_cast<std::size_t>(cells))) {
        return "the sheet has another number of pages than its cells need";
    }
    return {};
}

}  // namespace moxtrel::fuzz
