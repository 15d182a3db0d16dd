#pragma once
// One extraction run, without any window: make the game directory current,
// open its two archives, harvest both, write the package beside them, count
// its textures, register it with the level editor, and say what was made.
// The main dialog wires the sinks to its controls and shows the summary;
// moxtrel-cli prints them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "extract/HarvestReport.h"
#include "extract/Registration.h"
#include "game/Games.h"
#include "platform/Sinks.h"

namespace moxtrel {

// "Quake.wad" for Quake, "Hexen.wad" for Hexen II.
std::string PackageNameFor(GameKind game);

// Why a file cannot be written at `path` (the package, or a report beside
// it), in words for the user: "it is a folder" or "its folder does not
// exist"; empty when it can be tried.
std::string OutputPathProblem(const std::string& path);

struct ExtractionSinks {
    MessageSink& messages;
    ProgressSink& progress;
    StatusSink& status;
    WarningSink& warnings;
    // Called once the package file exists and the harvest is about to start:
    // the moment the main dialog shows and starts its animation.
    std::function<void()> workStarted;
};

// What the summary shows of a written package.
struct WadSummary {
    std::string fileName;      // without its directory, e.g. "Quake.wad"
    std::int64_t length = 0;   // in bytes
    int total = 0;
    int simple = 0;
    int animated = 0;
};

enum class RunOutcome {
    Completed,  // package written and registered; "Extraction complete!" was set
    Failed,     // a message ended the run before anything was written
    Abandoned,  // the run ended after its work began (a file error, or nothing
                // could be read); nothing was written, any earlier package is untouched
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Failed;
    WadSummary summary;  // filled when outcome is Completed
    RegistrationOutcome registration;  // filled when outcome is Completed
    SkippedData skipped;  // what the harvest passed over, each with its warning
};

// A run as moxtrel-cli can ask for it; the defaults are the main dialog's run.
struct ExtractionRequest {
    std::string gameDir;  // ends with '/'
    GameKind game = GameKind::Quake;
    // Every archive pak0.pak, pak1.pak, ... as the game loads them, then every
    // loose map in the maps folder, instead of PAK0.PAK and PAK1.PAK alone.
    bool allSources = false;
    // Where the package goes, absolute; empty for beside the archives.
    std::string outputPath;
    // A report the caller will write after the run, absolute, or empty: the
    // run refuses it, before anything is written, when it would replace a
    // source or the package.
    std::string reportPath;
    // Told after the reason when the package cannot be created, e.g. how to
    // write it elsewhere.
    std::string packageHint;
    // Filled with what the harvest read, kept, met again and skipped.
    HarvestReport* report = nullptr;
};

// The one of `sources` that `path` leads to (the same file, however spelled:
// letter case, "..", a symbolic or a hard link), or empty.
std::string SourceAt(const std::string& path, const std::vector<std::string>& sources);

inline constexpr const char* ExtractionCompleteStatus = "Extraction complete!";

// Runs the extraction in `gameDir` (which ends with '/') for `game`.
// Every failure is shown through `sinks.messages` with its text and caption;
// nothing is thrown. The process's current directory stays `gameDir`. The
// package is registered in `registry`.
RunResult RunExtraction(const std::string& gameDir, GameKind game, platform::Registry& registry,
                        ExtractionSinks& sinks);
RunResult RunExtraction(const ExtractionRequest& request, platform::Registry& registry, ExtractionSinks& sinks);

}  // namespace moxtrel
