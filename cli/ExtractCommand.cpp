#include "cli/ExtractCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/TerminalSinks.h"
#include "extract/ExtractionRun.h"
#include "extract/WadSummaryText.h"

namespace moxtrel::cli {

namespace {

struct ExtractOptions {
    std::string gameDir;
    int game = GameQuake;
};

int RunExtract(const ExtractOptions& options) {
    TerminalSinks terminal = TerminalSinks::ForStderr();
    ExtractionSinks sinks{terminal, terminal, terminal, terminal, {}};
    RunResult result = RunExtraction(GameDirectoryFromArgument(options.gameDir), options.game, sinks);
    bool completed = result.outcome == RunOutcome::Completed;
    terminal.Finish(completed);
    if (!completed) return ExitFailure;

    for (const std::string& line : WadSummaryLines(FormatWadSummary(result.summary))) {
        std::printf("%s\n", line.c_str());
    }
    return ExitSuccess;
}

}  // namespace

std::string GameDirectoryFromArgument(const std::string& argument) {
    // "." components change nothing but would be stored in the registered
    // path; ".." is kept, since after a symbolic link it is not the parent.
    std::filesystem::path absolute = std::filesystem::absolute(argument);
    std::string directory;
    for (const auto& component : absolute) {
        std::string part = component.string();
        if (part.empty() || part == ".") continue;
        if (part == "/") {
            directory = "/";
            continue;
        }
        directory += part + "/";
    }
    return directory.empty() ? "/" : directory;
}

Command AddExtractCommand(CLI::App& app) {
    auto options = std::make_shared<ExtractOptions>();
    CLI::App* extract =
        app.add_subcommand("extract", "Write the texture package of a game directory beside its archives and register it");
    extract
        ->add_option("GAME_DIR", options->gameDir,
                     "The game's data directory, which holds PAK0.PAK and PAK1.PAK (e.g. .../quake/id1)")
        ->required();
    AddGameOption(*extract, options->game);
    return Command{extract, [options] { return RunExtract(*options); }};
}

}  // namespace moxtrel::cli
