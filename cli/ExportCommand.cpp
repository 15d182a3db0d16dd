#include "cli/ExportCommand.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "cli/TerminalSinks.h"
#include "pictures/ExportPictures.h"
#include "platform/File.h"
#include "platform/Paths.h"

namespace moxtrel::cli {

namespace {

constexpr const char* ExportErrorCaption = "Export Error";

struct ExportOptions {
    std::string source;
    std::string folder;
    std::string palette;  // empty: the folder that holds the source
};

int Fail(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", ExportErrorCaption, text.c_str());
    return ExitFailure;
}

int RunExport(const ExportOptions& options) {
    TerminalSinks terminal(stderr, false);
    pictures::CountingWarnings warnings(terminal);
    std::string folderOfSource = platform::FolderOf(options.source);
    pictures::ExportRequest request{
        options.source, options.folder,
        options.palette.empty() ? (folderOfSource.empty() ? "." : folderOfSource) : options.palette};
    try {
        pictures::ExportPictures(request, warnings, [](const std::string& path) {
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);
        });
    } catch (const platform::FileError& error) {
        return Fail(error.FileName() + ": " + error.OsErrorText());
    } catch (const std::runtime_error& error) {
        // A source that is neither a package nor a map, no palette, names
        // that collide, or a picture that would replace a file read.
        return Fail(error.what());
    }
    return warnings.Count() > 0 ? ExitSkippedData : ExitSuccess;
}

}  // namespace

Command AddExportCommand(CLI::App& app) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", "Write each texture of a WAD2 package or a map as a PNG picture");
    command->add_option("SOURCE", options->source, "A WAD2 package (e.g. .../quake/id1/Quake.wad) or a map file (.bsp)")
        ->required();
    command
        ->add_option("-o,--output", options->folder,
                     "The folder to write NAME.png into, made when missing (its parent must exist); '*' is written "
                     "'#', and characters a file name cannot hold as %XX")
        ->required();
    command->add_option("--palette", options->palette,
                        "A game directory whose archives hold gfx/palette.lmp, or a palette file of 768 bytes "
                        "(default: the folder that holds SOURCE)");
    command->footer(
        "Each picture is the texture's full-size level; in a fence texture ({name) colour 255 is transparent. "
        "The files written are listed on stdout. Exit status 3: damaged records were left out (warning lines).\n\n"
        "Example, a whole game's textures: moxtrel-cli export ~/quake/id1/Quake.wad -o ~/quake-textures");
    return Command{command, [options] { return RunExport(*options); }};
}

}  // namespace moxtrel::cli
