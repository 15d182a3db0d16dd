#include "cli/SearchCommand.h"

#include <memory>

#include "cli/TerminalSinks.h"
#include "extract/ExtractionRun.h"
#include "locate/GameDirectory.h"
#include "platform/Console.h"
#include "platform/Environment.h"

namespace moxtrel::cli {

namespace {

constexpr const char* NotFoundText = "File not found";

struct SearchOptions {
    locate::DriveKinds kinds;
    GameKind game = GameKind::Quake;
    bool listDrives = false;
};

#ifdef _WIN32
constexpr const char* DrivesAre = "The drives are the drive letters";
#else
constexpr const char* DrivesAre = "The drives are the mounted volumes";
#endif

// Prints the drives a scan would choose from, as lines of a drive map: the
// root, the type and the serial of the volume in it now (none for an empty
// drive). The kernel's own views are left out, as the scan leaves them.
int ListDrives(const platform::DriveTable& drives) {
    for (const platform::Volume& volume : drives.Volumes()) {
        if (volume.type == platform::DriveType::Unknown) continue;
        std::printf("%s %s", volume.root.c_str(), std::string(platform::DriveTypeWord(volume.type)).c_str());
        const std::uint32_t serial = drives.GetVolumeSerial(volume.root);
        if (serial != platform::NoVolumeSerial) std::printf(" %08X", static_cast<unsigned>(serial));
        std::printf("\n");
    }
    return ExitSuccess;
}

int RunSearch(SearchOptions options, const platform::Drives& driveService) {
    // Without a choice the hard drives are searched, where games are installed.
    if (!options.kinds.Any()) options.kinds.hard = true;
    const platform::DriveTable drives = driveService.ReadTable();
    for (const std::string& warning : drives.Warnings()) {
        std::fprintf(stderr, "warning: %s: %s\n", platform::DriveMapVariable, warning.c_str());
    }
    if (options.listDrives) return ListDrives(drives);

    bool isTerminal = platform::IsTerminal(stderr);
    // One line per directory is many small writes; let them gather.
    static char buffer[1 << 16];
    if (!isTerminal) std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
    DirectoryPrinter printer(stderr, isTerminal, isTerminal ? TerminalWidth(stderr) : TerminalSinks::DefaultWidth);

    std::string gameDir;
    locate::SearchOutcome outcome = locate::SearchDrives(drives, locate::ExecutableFor(options.game), options.game,
                                                         options.kinds, printer, gameDir);
    printer.Finish();
    std::fflush(stderr);
    if (outcome == locate::SearchOutcome::Found) {
        std::printf("%s\n", gameDir.c_str());
        return ExitSuccess;
    }
    std::printf("%s\n", NotFoundText);
    return ExitFailure;
}

}  // namespace

DirectoryPrinter::DirectoryPrinter(std::FILE* err, bool isTerminal, int width, std::chrono::milliseconds interval)
    : m_err(err), m_isTerminal(isTerminal), m_width(width < 10 ? 10 : width), m_interval(interval) {}

void DirectoryPrinter::DirectoryEntered(std::string_view path) {
    if (!m_isTerminal) {
        std::fwrite(path.data(), 1, path.size(), m_err);
        std::fputc('\n', m_err);
        return;
    }
    auto now = std::chrono::steady_clock::now();
    if (now < m_nextDraw) return;
    m_nextDraw = now + m_interval;
    // The end of a long path says more than its start; a line that wrapped
    // could not be redrawn in place.
    std::size_t room = static_cast<std::size_t>(m_width - 1);
    if (path.size() > room) path = path.substr(path.size() - room);
    std::fprintf(m_err, "\r%.*s\033[K", static_cast<int>(path.size()), path.data());
    std::fflush(m_err);
    m_drawn = true;
}

void DirectoryPrinter::Finish() {
    if (m_drawn) std::fputs("\r\033[K", m_err);
    m_drawn = false;
}

Command AddSearchCommand(CLI::App& app, const platform::Drives& drives) {
    auto options = std::make_shared<SearchOptions>();
    CLI::App* search = app.add_subcommand(
        "search", "Scan the drives for the game's executable and print its data directory when it holds PAK0.PAK "
                  "and PAK1.PAK (the hard drives when no kind is given)");
    search->footer(std::string(DrivesAre) + ", or those of the drive map file named by " +
                   platform::DriveMapVariable + " (one \"PATH TYPE [SERIAL]\" a line).");
    search->add_flag("--hard", options->kinds.hard, "Search the hard drives");
    search->add_flag("--network", options->kinds.network, "Search the network drives");
    search->add_flag("--removable", options->kinds.removable, "Search the removable drives");
    search->add_flag("--list-drives", options->listDrives,
                     "Print the drives instead of searching them, one \"ROOT TYPE [SERIAL]\" a line");
    AddGameOption(*search, options->game);
    return Command{search, [options, &drives] { return RunSearch(*options, drives); }};
}

}  // namespace moxtrel::cli
