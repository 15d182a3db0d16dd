#include "platform/Console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace moxtrel::platform {

bool IsTerminal(std::FILE* stream) {
    const int fd = ::fileno(stream);
    return fd >= 0 && ::isatty(fd) == 1;
}

std::optional<int> TerminalColumns(std::FILE* stream) {
    const int fd = ::fileno(stream);
    winsize size{};
    if (fd < 0 || ::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return std::nullopt;
    return size.ws_col;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void UseUtf8Console() {}

}  // namespace moxtrel::platform
