#include "cli/ExtractCommand.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

#include "cli/JsonText.h"
#include "cli/TerminalSinks.h"
#include "extract/ExtractionRun.h"
#include "extract/WadSummaryText.h"
#include "platform/Environment.h"
#include "platform/FileReplacement.h"

namespace moxtrel::cli {

namespace {

struct ExtractOptions {
    std::string gameDir;
    int game = GameQuake;
    bool all = false;
    std::string output;
    std::string report;
};

// A path given on the command line, made absolute before the run changes the
// current directory; a trailing '/' is kept, since it says a folder is meant.
std::string AbsoluteArgumentPath(const std::string& argument) {
    std::string path = GameDirectoryFromArgument(argument);
    if (argument.back() != '/' && path.size() > 1) path.pop_back();
    return path;
}

// Why the report cannot be written at `path`, or empty: checked before the
// run, so a report that could never be written fails the run before it begins.
std::string ReportProblem(const std::string& path) {
    struct stat info {};
    if (path.back() == '/' || (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) return "it is a folder";
    std::string folder = path.substr(0, path.find_last_of('/') + 1);
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return "its folder does not exist";
    return {};
}

// Replaces the report at `path` with `text` only once all of it is on disk.
void WriteReport(const std::string& path, const std::string& text) {
    platform::FileReplacement report;
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (!report.Begin(path, "." + name + ".part-", platform::FileReplacement::Permissions::NewFile)) {
        throw platform::FileError(report.LastOsError(), path);
    }
    report.Output().Write(text.data(), text.size());
    report.Commit();
}

int RunExtract(const ExtractOptions& options) {
    TerminalSinks terminal = TerminalSinks::ForStderr();
    ExtractionRequest request;
    request.gameDir = GameDirectoryFromArgument(options.gameDir);
    request.game = options.game;
    request.allSources = options.all;
    if (!options.output.empty()) request.outputPath = AbsoluteArgumentPath(options.output);
    HarvestReport report;
    std::string reportPath;
    if (!options.report.empty()) {
        reportPath = AbsoluteArgumentPath(options.report);
        if (std::string problem = ReportProblem(reportPath); !problem.empty()) {
            terminal.ShowMessage("Could not write the report " + reportPath + ": " + problem + ".", "File IO error",
                                 MessageKind::Exclamation);
            return ExitFailure;
        }
        request.report = &report;
    }

    ExtractionSinks sinks{terminal, terminal, terminal, terminal, {}};
    platform::Registry registry(platform::Environment::FromProcess().registryStorePath);
    RunResult result = RunExtraction(request, registry, sinks);
    bool completed = result.outcome == RunOutcome::Completed;
    terminal.Finish(completed);
    if (!completed) return ExitFailure;

    std::fprintf(stderr, "%s\n", DescribeRegistration(result.registration).c_str());
    if (!reportPath.empty()) {
        std::string package = request.outputPath.empty() ? platform::GetCurrentDirectory() + result.summary.fileName
                                                         : request.outputPath;
        try {
            WriteReport(reportPath, HarvestReportJson(report, package));
        } catch (const platform::FileError& error) {
            terminal.ShowMessage("Could not write the report " + reportPath + ": " + error.OsErrorText() + ".",
                                 "File IO error", MessageKind::Exclamation);
            return ExitFailure;
        }
    }
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
    extract->add_flag("--all", options->all,
                      "Read every archive pak0.pak, pak1.pak, ... as the game loads them, then every loose map in "
                      "GAME_DIR/maps, instead of PAK0.PAK and PAK1.PAK alone");
    extract->add_option("--output", options->output,
                        "Write the package at FILE instead of beside the archives (GAME_DIR may then be read-only)")
        ->option_text("FILE");
    extract->add_option("--report", options->report,
                        "Write a JSON report of the sources read and every texture kept, repeated or skipped")
        ->option_text("FILE");
    return Command{extract, [options] { return RunExtract(*options); }};
}

}  // namespace moxtrel::cli
