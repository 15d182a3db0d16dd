#include "cli/PreviewCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/TerminalSinks.h"
#include "formats/Wad.h"
#include "platform/File.h"
#include "platform/FileReplacement.h"
#include "preview/ContactSheet.h"
#include "preview/SheetLayout.h"

namespace moxtrel::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* PreviewErrorCaption = "Preview Error";

struct PreviewOptions {
    std::string wad;
    std::string output;
    std::string palette;  // empty: the folder that holds the package
    int width = preview::SheetOptions{}.width;
    int cell = preview::SheetOptions{}.cell;
};

std::string FolderOf(const std::string& path) {
    fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", PreviewErrorCaption, text.c_str());
    return ExitFailure;
}

int RunPreview(const PreviewOptions& options) {
    if (options.width < preview::SheetGrid::MinWidth(options.cell)) {
        std::fprintf(stderr, "--width must be at least --cell + %d (%d)\n", 2 * preview::SheetLayout::Margin,
                     preview::SheetGrid::MinWidth(options.cell));
        return ExitUsage;
    }
    TerminalSinks warnings(stderr, false);
    preview::DrawingCachesRelease releaseFontsAtEnd;
    try {
        WadContents wad = ReadWad(options.wad);
        std::string source = options.palette.empty() ? FolderOf(options.wad) : options.palette;
        Palette palette = preview::LoadPalette(source, warnings);
        platform::File file;
        if (!file.Open(options.wad, platform::FileMode::ArchiveRead)) throw platform::FileError(file.LastOsError(), options.wad);
        auto writePage = [&](int number, const std::vector<unsigned char>& png) {
            std::string path = SheetPagePath(options.output, number);
            // A failed write never leaves a cut PNG where an earlier sheet was.
            platform::ReplaceFileContent(path, png.data(), png.size());
            std::printf("%s\n", path.c_str());
        };
        preview::DrawContactSheet(wad, file, palette, {options.width, options.cell}, writePage, warnings);
    } catch (const platform::FileError& error) {
        return Fail(error.FileName() + ": " + error.OsErrorText());
    } catch (const std::runtime_error& error) {
        // A malformed package, no palette, or a page cairo could not make.
        return Fail(error.what());
    }
    return ExitSuccess;
}

}  // namespace

std::string SheetPagePath(const std::string& output, int number) {
    if (number <= 1) return output;
    fs::path path(output);
    return path.replace_filename(path.stem().string() + "-" + std::to_string(number) + path.extension().string()).string();
}

Command AddPreviewCommand(CLI::App& app) {
    using namespace preview::SheetLayout;
    auto options = std::make_shared<PreviewOptions>();
    CLI::App* preview = app.add_subcommand("preview", "Draw a contact sheet of a WAD2 package's textures as PNG");
    preview->add_option("WAD", options->wad, "The package to draw, e.g. .../quake/id1/Quake.wad")->required();
    preview->add_option("-o,--output", options->output,
                        "The PNG to write; a sheet taller than " + std::to_string(MaxPageHeight) +
                            " pixels goes on further pages NAME-2.png, NAME-3.png, ...")
        ->required();
    preview->add_option("--palette", options->palette,
                        "A game directory whose archives hold gfx/palette.lmp, or a palette file of 768 bytes "
                        "(default: the folder that holds WAD)");
    preview->add_option("--width", options->width, "The sheet's width in pixels")
        ->check(CLI::Range(preview::SheetGrid::MinWidth(MinCell), MaxWidth))
        ->capture_default_str();
    preview->add_option("--cell", options->cell, "The largest side a texture is shown at, in pixels")
        ->check(CLI::Range(MinCell, MaxCell))
        ->capture_default_str();
    return Command{preview, [options] { return RunPreview(*options); }};
}

}  // namespace moxtrel::cli
