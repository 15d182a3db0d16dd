#include "cli/RunCli.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include <algorithm>

#include "platform/win32/Unicode.h"
#include "support/HostPath.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

#include "support/TempDir.h"
#include "tools/GameWriter.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace moxtrel::test {

namespace {

std::string ReadText(const std::filesystem::path& path) {
    fixtures::Bytes bytes = fixtures::ReadBytes(path.string());
    return {bytes.begin(), bytes.end()};
}

#ifdef _WIN32

std::wstring Wide(const std::string& utf8) {
    std::optional<std::wstring> wide = platform::Widen(utf8);
    if (!wide) throw std::runtime_error("not UTF-8: " + utf8);
    return *wide;
}

std::wstring UpperCase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(::towupper(c)); });
    return text;
}

// This process's environment with `overrides` on top, as the block
// CreateProcessW takes: "NAME=value" strings each ended by a NUL, one more NUL
// at the end, ordered by name without regard to case. Windows' names ignore
// case, so an override replaces a variable however it is spelled.
std::wstring EnvironmentBlock(const std::map<std::string, std::string>& overrides) {
    std::map<std::wstring, std::wstring> variables;  // upper-case name -> "NAME=value"
    wchar_t* own = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = own; *entry; entry += std::wcslen(entry) + 1) {
        std::wstring text = entry;
        // The search starts at 1: the per-drive current folders are kept as "=C:=C:\...".
        variables[UpperCase(text.substr(0, text.find(L'=', 1)))] = text;
    }
    ::FreeEnvironmentStringsW(own);
    for (const auto& [name, value] : overrides) variables[UpperCase(Wide(name))] = Wide(name + "=" + value);
    std::wstring block;
    for (const auto& [name, text] : variables) block += text + L'\0';
    block += L'\0';
    return block;
}

// `argument` as CommandLineToArgvW (and the C runtime) will split it back:
// quoted when it is empty or holds a blank or a quote; a quote is escaped by a
// backslash and the backslashes before a quote (or the closing one) doubled.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L'"';
}

// An inheritable handle on `path`, for one of the child's standard streams.
HANDLE InheritableFile(const std::wstring& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE file = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, creation, 0,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open a stream for the child");
    return file;
}

std::string CliPath() { return HostPath(MOXTREL_CLI_PATH).string(); }

std::string WithNewlines(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
    }
    return lines;
}

// Starts the program with its stdin on NUL and its stdout and stderr on
// files (nothing can block however much either stream carries), and waits
// until it ends.
CliResult Run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& overrides,
              const TempDir& scratch) {
    std::wstring commandLine;
    for (const std::string& argument : argv) commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(Wide(argument));
    std::wstring environment = EnvironmentBlock(overrides);
    const std::filesystem::path outPath = scratch / "stdout";
    const std::filesystem::path errPath = scratch / "stderr";

    const HANDLE streams[] = {InheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING),
                              InheritableFile(outPath.wstring(), GENERIC_WRITE, CREATE_ALWAYS),
                              InheritableFile(errPath.wstring(), GENERIC_WRITE, CREATE_ALWAYS)};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = streams[0];
    startup.hStdOutput = streams[1];
    startup.hStdError = streams[2];
    PROCESS_INFORMATION process{};
    const std::wstring application = Wide(argv[0]);
    const bool started = ::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                          CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), nullptr,
                                          &startup, &process);
    for (HANDLE stream : streams) ::CloseHandle(stream);
    if (!started) throw std::runtime_error("cannot start " + argv[0]);

    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    CliResult result;
    result.exitCode = static_cast<int>(exitCode);
    // The program's streams are in text mode, which ends each line with
    // "\r\n" on Windows: the lines are compared as the program means them.
    result.out = WithNewlines(ReadText(outPath));
    result.err = WithNewlines(ReadText(errPath));
    return result;
}

#else

std::string CliPath() { return MOXTREL_CLI_PATH; }

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

CliResult Run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& overrides,
              const TempDir& scratch) {
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = ChildEnvironment(overrides);
    std::vector<char*> argvPointers = Pointers(arguments);
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

#endif

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
    TempDir scratch;
    std::map<std::string, std::string> overrides = {
        {"MOXTREL_REGISTRY", (scratch / "registry.reg").string()},
        {"XDG_CONFIG_HOME", (scratch / "config").string()},
    };
    for (const auto& [name, value] : env) overrides[name] = value;

    std::vector<std::string> argv = {CliPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    return Run(argv, overrides, scratch);
}

std::string StoreQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
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
