#pragma once
// `moxtrel-cli search [--hard] [--network] [--removable] [--game quake|hexen2]`:
// the drive scan of the Search dialog. Prints the game directory and exits 0
// when the executable's data directory holds both archives; prints "File not
// found" and exits 1 otherwise. The directories entered go to stderr: redrawn
// in place on one line when stderr is a terminal, one a line when it is not.
// With --list-drives it prints the drives instead, as drive map lines.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/Command.h"
#include "locate/DriveScan.h"
#include "platform/Drives.h"

namespace moxtrel::cli {

// The scan reads `drives`, which must outlive the command.
Command AddSearchCommand(CLI::App& app, const platform::Drives& drives);

// Shows the directories the scan enters.
class DirectoryPrinter : public locate::DirectoryObserver {
public:
    // On a terminal the line is redrawn at most every `interval`, so that
    // printing never slows the scan; elsewhere every directory is a line.
    DirectoryPrinter(std::FILE* err, bool isTerminal, int width,
                     std::chrono::milliseconds interval = std::chrono::milliseconds(50));

    void DirectoryEntered(std::string_view path) override;
    // Takes the redrawn line away.
    void Finish();

private:
    std::FILE* m_err;
    bool m_isTerminal;
    int m_width;
    std::chrono::steady_clock::duration m_interval;
    std::chrono::steady_clock::time_point m_nextDraw{};
    bool m_drawn = false;
};

}  // namespace moxtrel::cli
