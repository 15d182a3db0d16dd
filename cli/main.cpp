// moxtrel-cli: the window-free jobs of Moxtrel from a terminal. stdout carries
// only results; messages, warnings and progress go to stderr.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/Command.h"
#ifndef MOXTREL_WITHOUT_PICTURES
#include "cli/ExportCommand.h"
#endif
#include "cli/ExtractCommand.h"
#include "cli/InfoCommand.h"
#ifndef MOXTREL_WITHOUT_PICTURES
#include "cli/PackCommand.h"
#endif
#ifndef MOXTREL_WITHOUT_PREVIEW
#include "cli/PreviewCommand.h"
#endif
#include "cli/SearchCommand.h"
#include "platform/Console.h"
#include "platform/Services.h"

namespace {

std::vector<moxtrel::cli::Command> AddCommands(CLI::App& app, const moxtrel::platform::Services& services) {
    using namespace moxtrel::cli;
    // One line per subcommand; each lives in its own file.
    return {
        AddExtractCommand(app, *services.registry),
        AddInfoCommand(app),
#ifndef MOXTREL_WITHOUT_PREVIEW
        AddPreviewCommand(app),
#endif
#ifndef MOXTREL_WITHOUT_PICTURES
        AddExportCommand(app),
        AddPackCommand(app),
#endif
        AddSearchCommand(app, *services.drives),
    };
}

// The exit codes, after the help of the program and of the commands that
// have a code 3.
constexpr const char* ExitCodesFooter =
    "Exit status:\n"
    "  0  success\n"
    "  1  the job failed, or search found nothing; a failed extract writes and registers\n"
    "     nothing and keeps the earlier package\n"
    "  2  the command line was wrong\n"
    "  3  extract, export and pack: the output was written, but damaged data was skipped\n"
    "     (each skip is a \"warning:\" line on stderr)";

constexpr const char* ExtractExitCodesFooter =
    "Exit status:\n"
    "  0  the package was written and registered, and nothing was skipped\n"
    "  1  the run failed: nothing was written or registered, the earlier package is kept\n"
    "  2  the command line was wrong\n"
    "  3  the package was written, but damaged data was skipped\n"
    "     (each skip is a \"warning:\" line on stderr)";

constexpr const char* PicturesExitCodesFooter =
    "Exit status:\n"
    "  0  every file was written and nothing was skipped\n"
    "  1  the job failed: nothing was written\n"
    "  2  the command line was wrong\n"
    "  3  the files were written, but damaged records were skipped\n"
    "     (each skip is a \"warning:\" line on stderr)";

}  // namespace

int main(int argc, char** argv) {
    using namespace moxtrel::cli;
    CLI::App app{"Moxtrel: turns an installed game's archives into one texture package for a level editor",
                 "moxtrel-cli"};
    app.set_version_flag("--version", "moxtrel-cli " MOXTREL_VERSION);
    app.require_subcommand(1);
    // The environment is read once, here; the commands get the services it names.
    const moxtrel::platform::Services services =
        moxtrel::platform::MakeServices(moxtrel::platform::Environment::FromProcess());
    std::vector<Command> commands = AddCommands(app, services);
    // Set after the subcommands are made: CLI11 gives a new subcommand its
    // parent's footer, and info, preview and search have no code 3.
    app.footer(ExitCodesFooter);
    app.get_subcommand("extract")->footer(ExtractExitCodesFooter);
    for (const Command& command : commands) {
        const std::string& name = command.subcommand->get_name();
        if (name == "export" || name == "pack") command.subcommand->footer(PicturesExitCodesFooter);
    }

    // CLI11 reads a C argv; it is rebuilt over the UTF-8 arguments.
    std::vector<std::string> arguments = moxtrel::platform::CommandLineArguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& argument : arguments) utf8Argv.push_back(argument.data());
    utf8Argv.push_back(nullptr);
    moxtrel::platform::UseUtf8Console();

    try {
        app.parse(static_cast<int>(arguments.size()), utf8Argv.data());
    } catch (const CLI::ParseError& error) {
        // Help and version end the parse with success; every other parse
        // error is a usage error.
        return app.exit(error) == 0 ? ExitSuccess : ExitUsage;
    }

    try {
        for (const Command& command : commands) {
            if (command.subcommand->parsed()) return command.run();
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "moxtrel-cli: %s\n", error.what());
        return ExitFailure;
    }
    return ExitUsage;
}
