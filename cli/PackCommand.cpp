#include "cli/PackCommand.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "cli/TerminalSinks.h"
#include "pictures/ExportPictures.h"
#include "pictures/PackPictures.h"
#include "platform/File.h"

namespace moxtrel::cli {

namespace {

constexpr const char* PackErrorCaption = "Pack Error";

int Fail(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", PackErrorCaption, text.c_str());
    return ExitFailure;
}

int RunPack(const pictures::PackRequest& request) {
    TerminalSinks terminal(stderr, false);
    pictures::CountingWarnings warnings(terminal);
    try {
        pictures::PackPictures(request, warnings);
    } catch (const platform::FileError& error) {
        return Fail(error.FileName() + ": " + error.OsErrorText());
    } catch (const std::runtime_error& error) {
        // A picture that cannot be read or named, no palette, or a package
        // that would replace a file read.
        return Fail(error.what());
    }
    std::printf("%s\n", request.package.c_str());
    return warnings.Count() > 0 ? ExitSkippedData : ExitSuccess;
}

}  // namespace

Command AddPackCommand(CLI::App& app) {
    auto request = std::make_shared<pictures::PackRequest>();
    CLI::App* command = app.add_subcommand("pack", "Make a WAD2 package of PNG pictures, one texture each");
    command
        ->add_option("PICTURES", request->pictures,
                     "PNG files, or folders whose .png files are taken in the byte order of their names; each "
                     "file's name without .png is the texture's ('#' for '*', %XX for a byte), at most 15 bytes")
        ->required();
    command->add_option("-o,--output", request->package, "The package to write; replaced only once it is whole")
        ->required();
    command
        ->add_option("--palette", request->paletteSource,
                     "A game directory whose archives hold gfx/palette.lmp, or a palette file of 768 bytes")
        ->required();
    command->footer(
        "Sides must be multiples of 16 (at most 4096). A colour that is exactly a palette colour takes its number; "
        "any other the nearest of colours 0-223 by the redmean distance, without dithering. In a fence texture "
        "({name) alpha below 128 becomes colour 255. The smaller mip levels are averaged in linear light.\n\n"
        "Example, a folder of pictures for the map compiler: "
        "moxtrel-cli pack ~/my-textures -o ~/quake/mymod/mymod.wad --palette ~/quake/id1");
    return Command{command, [request] { return RunPack(*request); }};
}

}  // namespace moxtrel::cli
