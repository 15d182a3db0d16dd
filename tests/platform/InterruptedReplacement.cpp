// A program interrupted while it replaces a file, for the replacement's
// tests: started fresh, so the replacement installs its handlers here as in
// the program itself. Arguments: MODE TARGET SIGNAL.
//   replace      begins replacing TARGET, writes new content, raises SIGNAL;
//   own-handler  the same, after installing a handler of its own for SIGNAL
//                that exits with OwnHandlerExit;
//   watched      makes TARGET.part-watched and watches its name as the
//                replacement watches a named temporary file, then raises SIGNAL.
// Exits with 2 when something fails before the signal, 3 when it survives it.

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/FileReplacement.h"
#include "platform/posix/TemporaryNames.h"

namespace {

constexpr int OwnHandlerExit = 42;

// Prepares what the signal interrupts; false when that fails.
bool Prepare(const std::string& mode, const std::string& target, moxtrel::platform::FileReplacement& replacement) {
    namespace system = moxtrel::platform::system;
    if (mode == "watched") {
        const std::string temporary = target + ".part-watched";
        std::ofstream(temporary) << "new";
        system::InstallInterruptCleanup();
        return system::WatchName(temporary) >= 0;
    }
    if (!replacement.Begin(target, ".part-")) return false;
    replacement.Output().Write("new", 3);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const std::string mode = argv[1];
    const int signal = std::atoi(argv[3]);
    // The actions a program starts with, whatever the test runner ignores.
    for (int each : {SIGINT, SIGTERM, SIGHUP}) std::signal(each, SIG_DFL);
    if (mode == "own-handler") std::signal(signal, [](int) { ::_exit(OwnHandlerExit); });
    moxtrel::platform::FileReplacement replacement;
    if (!Prepare(mode, argv[2], replacement)) return 2;
    std::raise(signal);
    return 3;
}
