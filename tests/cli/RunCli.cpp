#include "cli/RunCli.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

#include "support/TempDir.h"
#include "tools/GameWriter.h"

extern char** environ;

namespace moxtrel::test {

namespace {

std::vector<std::string> ChildEnvironment(std::map<std::string, std::string> overrides) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        std::string entry = *variable;
        std::string name = entry.substr(0, entry.find('='));
        if (!overrides.count(name)) environment.push_back(entry);
    }
    for (const auto& [name, value] : overrides) environment.push_back(name + "=" + value);
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string ReadText(const std::filesystem::path& path) {
    fixtures::Bytes bytes = fixtures::ReadBytes(path.string());
    return {bytes.begin(), bytes.end()};
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
    TempDir scratch;
    std::map<std::string, std::string> overrides = {
        {"MOXTREL_REGISTRY", (scratch / "registry.reg").string()},
        {"XDG_CONFIG_HOME", (scratch / "config").string()},
    };
    for (const auto& [name, value] : env) overrides[name] = value;

    std::vector<std::string> argv = {MOXTREL_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> environment = ChildEnvironment(overrides);
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(environment);

    // Files rather than pipes: nothing can block however much either stream carries.
    std::string outPath = (scratch / "stdout").string();
    std::string errPath = (scratch / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    int spawned = posix_spawn(&child, argv[0].c_str(), &actions, nullptr, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + argv[0]);

    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    return result;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace moxtrel::test
