#pragma once
// Runs the built moxtrel-cli as a separate process and captures what it wrote
// to stdout and to stderr, each on its own, and how it ended.

#include <map>
#include <string>
#include <vector>

namespace moxtrel::test {

struct CliResult {
    // 128 + the signal's number when a signal ended it; on Windows the code
    // the process ended with, an exception's code (0xC0000005...) when it crashed.
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs moxtrel-cli with `args`. The child's environment is this process's,
// with `env` set on top; MOXTREL_REGISTRY and XDG_CONFIG_HOME always point
// into a scratch directory, so no test touches the user's registry file.
CliResult RunCli(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {});

// `text` as a quoted value of the registry store holds it: '\\' and '"'
// escaped with a '\\'.
std::string StoreQuoted(const std::string& text);

// The lines of `text`, without their '\n'.
std::vector<std::string> Lines(const std::string& text);

}  // namespace moxtrel::test
