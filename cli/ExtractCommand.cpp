#include "cli/ExtractCommand.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "cli/JsonText.h"
#include "cli/TerminalSinks.h"
#include "extract/ExtractionRun.h"
#include "extract/WadSummaryText.h"
#include "platform/FileReplacement.h"
#include "platform/FsPath.h"
#include "platform/Paths.h"

namespace moxtrel::cli {

namespace {

// Whether `path` is a root: "/", or "C:\" on Windows.
bool IsRootPath(const std::string& path) {
    return platform::NameOf(std::string_view(path).substr(0, path.size() - 1)).empty();
}

struct ExtractOptions {
    std::string gameDir;
    GameKind game = GameKind::Quake;
    bool all = false;
    std::string output;
    std::string report;
};

// A path given on the command line, made absolute before the run changes the
// current directory; a trailing separator is kept, since it says a folder is meant.
std::string AbsoluteArgumentPath(const std::string& argument) {
    std::string path = GameDirectoryFromArgument(argument);
    if (!platform::EndsWithSeparator(argument) && !IsRootPath(path)) path.pop_back();
    return path;
}

// The report's replacement, begun before the run so that a report that can
// never be written (a read-only file, a missing folder) fails the run before
// anything is written; it takes the place of the old report only once all of
// it is on disk.
bool BeginReport(platform::FileReplacement& report, const std::string& path, TerminalSinks& terminal) {
    std::string problem = OutputPathProblem(path);
    if (problem.empty() && !report.Begin(path, platform::PartFilePrefix(path))) {
        problem = platform::OsErrorText(report.LastOsError());
    }
    if (problem.empty()) return true;
    terminal.ShowMessage("Could not write the report.", "File IO error", MessageKind::Exclamation, path + ": " + problem);
    return false;
}

bool FinishReport(platform::FileReplacement& report, const std::string& text, TerminalSinks& terminal) {
    try {
        platform::CommitContent(report, text.data(), text.size());
        return true;
    } catch (const platform::FileError& error) {
        terminal.ShowMessage("Could not write the report.", "File IO error", MessageKind::Exclamation,
                             report.Target() + ": " + error.OsErrorText());
        return false;
    }
}

int RunExtract(const ExtractOptions& options, platform::Registry& registry) {
    TerminalSinks terminal = TerminalSinks::ForStderr();
    ExtractionRequest request;
    request.gameDir = GameDirectoryFromArgument(options.gameDir);
    request.game = options.game;
    request.allSources = options.all;
    request.packageHint = "--output writes the package elsewhere";
    if (!options.output.empty()) request.outputPath = AbsoluteArgumentPath(options.output);
    HarvestReport report;
    platform::FileReplacement reportFile;
    if (!options.report.empty()) {
        request.reportPath = AbsoluteArgumentPath(options.report);
        if (!BeginReport(reportFile, request.reportPath, terminal)) return ExitFailure;
        request.report = &report;
    }

    ExtractionSinks sinks{terminal, terminal, terminal, terminal, {}};
    RunResult result = RunExtraction(request, registry, sinks);
    bool completed = result.outcome == RunOutcome::Completed;
    terminal.Finish(completed);
    if (!completed) return ExitFailure;

    std::fprintf(stderr, "%s\n", DescribeRegistration(result.registration).c_str());
    if (!request.reportPath.empty()) {
        std::string package = request.outputPath.empty() ? platform::GetCurrentDirectory() + result.summary.fileName
                                                         : request.outputPath;
        if (!FinishReport(reportFile, HarvestReportJson(report, package), terminal)) return ExitFailure;
    }
    for (const std::string& line : WadSummaryLines(FormatWadSummary(result.summary))) {
        std::printf("%s\n", line.c_str());
    }
    return result.skipped.Any() ? ExitSkippedData : ExitSuccess;
}

}  // namespace

std::string GameDirectoryFromArgument(const std::string& argument) {
    // "." components change nothing but would be stored in the registered
    // path; ".." is kept, since after a symbolic link it is not the parent.
    const std::filesystem::path absolute = std::filesystem::absolute(platform::ToFsPath(argument));
    // The root is written the system's way (C:\ rather than C:/ as it may have been typed).
    std::string directory = platform::FromFsPath(absolute.root_name()) + platform::Separator;
    for (const auto& component : absolute.relative_path()) {
        std::string part = platform::FromFsPath(component);
        if (part.empty() || part == ".") continue;
        directory += part + platform::Separator;
    }
    return directory;
}

Command AddExtractCommand(CLI::App& app, platform::Registry& registry) {
    auto options = std::make_shared<ExtractOptions>();
    CLI::App* extract =
        app.add_subcommand("extract", "Write the texture package of a game directory beside its archives and register it");
    extract
        ->add_option("GAME_DIR", options->gameDir,
                     "The game's data directory, which holds PAK0.PAK and PAK1.PAK (e.g. .../quake/id1)")
        ->required();
    AddGameOption(*extract, options->game);
    extract->add_flag("--all", options->all,
                      "Read every archive pak0.pak, pak1.pak, ... as the game loads them, then every loose map in "
                      "GAME_DIR/maps, instead of PAK0.PAK and PAK1.PAK alone");
    extract->add_option("--output", options->output,
                        "Write the package at FILE instead of beside the archives (GAME_DIR may then be read-only)")
        ->option_text("FILE");
    extract->add_option("--report", options->report,
                        "Write a JSON report of the sources read and every texture kept, repeated or skipped")
        ->option_text("FILE");
    return Command{extract, [options, &registry] { return RunExtract(*options, registry); }};
}

}  // namespace moxtrel::cli
