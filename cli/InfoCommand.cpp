#include "cli/InfoCommand.h"

#include <cstdio>
#include <memory>

#include "cli/JsonText.h"
#include "extract/WadSummaryText.h"
#include "formats/Miptex.h"
#include "formats/Wad.h"
#include "platform/File.h"

namespace moxtrel::cli {

namespace {

constexpr std::size_t NameColumn = 16;
constexpr std::size_t SizeColumn = 10;

bool IsPrintable(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

std::string Hex(unsigned char c) {
    const char* digits = "0123456789ABCDEF";
    return {digits[c >> 4], digits[c & 0x0F]};
}

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// The width and height of each miptex lump whose record is long enough to
// hold them (after its 16-byte name), read from the package itself.
std::vector<LumpPictureSize> PictureSizes(const std::string& path, const WadContents& wad) {
    std::vector<LumpPictureSize> sizes(wad.lumps.size());
    platform::File file;
    if (!file.Open(path, platform::FileMode::ArchiveRead)) return sizes;
    for (std::size_t i = 0; i < wad.lumps.size(); ++i) {
        const WadLump& lump = wad.lumps[i];
        if (lump.type != WadLayout::MiptexType || lump.compression != 0) continue;
        if (std::optional<MiptexSize> size = ReadMiptexSize(file, lump.position, lump.diskSize)) {
            sizes[i] = {true, size->width, size->height};
        }
    }
    return sizes;
}

int RunInfo(const std::string& path, bool asJson) {
    WadContents wad;
    try {
        wad = ReadWad(path);
        if (asJson) {
            std::fputs(WadDirectoryJson(wad, PictureSizes(path, wad)).c_str(), stdout);
            return ExitSuccess;
        }
    } catch (const platform::FileError& error) {
        std::fprintf(stderr, "%s: %s\n", error.FileName().c_str(), error.OsErrorText().c_str());
        return ExitFailure;
    } catch (const WadFormatError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return ExitFailure;
    }

    WadTextureCounts counts = CountWadTextures(wad);
    auto total = static_cast<int>(wad.lumps.size());
    for (const std::string& line :
         WadSummaryLines(FormatWadSummary(wad.fileName, wad.length, total, counts.simple, counts.animated))) {
        std::printf("%s\n", line.c_str());
    }
    for (const WadLump& lump : wad.lumps) std::printf("%s\n", LumpListingLine(lump).c_str());
    return ExitSuccess;
}

}  // namespace

std::string LumpListingLine(const WadLump& lump) {
    std::string type = IsPrintable(lump.type) ? std::string(1, static_cast<char>(lump.type)) : "0x" + Hex(lump.type);
    return PadRight(DisplayName(lump.name), NameColumn) + " " +
           PadLeft(std::to_string(lump.diskSize), SizeColumn) + "  " + type;
}

Command AddInfoCommand(CLI::App& app) {
    auto path = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    CLI::App* info = app.add_subcommand("info", "Show the summary and the lumps of a WAD2 texture package");
    info->add_option("WAD", *path, "The package to read, e.g. .../quake/id1/Quake.wad")->required();
    info->add_flag("--json", *asJson,
                   "Print the package's directory as a JSON document: each lump's name, position, size, type, "
                   "and width and height where its record holds them");
    return Command{info, [path, asJson] { return RunInfo(*path, *asJson); }};
}

}  // namespace moxtrel::cli
