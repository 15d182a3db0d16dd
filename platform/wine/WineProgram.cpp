#include "platform/wine/WineProgram.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/File.h"
#include "platform/LittleEndian.h"
#include "platform/RegistryStore.h"
#include "platform/Utf16.h"
#include "platform/wine/WinePath.h"

namespace moxtrel::platform::wine {

namespace {

constexpr std::string_view CurrentUser = "HKEY_CURRENT_USER";
constexpr std::uint32_t TextType = 1;
constexpr std::uint32_t NumberType = 4;

// The program's path: itself when it has a '/', else the first executable
// of that name in the search path.
std::string FindProgram(const std::string& program, std::string_view searchPath) {
    if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0 ? program : std::string();
    while (true) {
        const std::size_t colon = searchPath.find(':');
        std::string folder(searchPath.substr(0, colon));
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/" + program;
        struct stat file {};
        if (::stat(candidate.c_str(), &file) == 0 && S_ISREG(file.st_mode) && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string_view::npos) return {};
        searchPath.remove_prefix(colon + 1);
    }
}

// The environment wine runs in: the program's, with the prefix named and
// Wine's debug output off.
std::vector<std::string> WineEnvironment(const WineCommand& command, const std::string& prefix) {
    std::vector<std::string> environment;
    for (const std::string& entry : command.environment) {
        if (entry.rfind("WINEPREFIX=", 0) != 0 && entry.rfind("WINEDEBUG=", 0) != 0) environment.push_back(entry);
    }
    environment.push_back("WINEPREFIX=" + prefix);
    environment.push_back("WINEDEBUG=-all");
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Waits for `child` until `deadline`; false when it is still running then.
bool WaitUntil(pid_t child, std::chrono::steady_clock::time_point deadline, int& status) {
    while (true) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string Seconds(std::chrono::milliseconds timeout) {
    const auto tenths = timeout.count() / 100;
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") + " seconds";
}

// A scratch file for an export or an import, removed when it goes, in a
// folder Wine can reach.
class ExchangeFile {
public:
    explicit ExchangeFile(const std::string& folder) {
        std::string pattern = (folder.empty() ? std::string("/tmp") : folder) + "/moxtrel-reg-XXXXXX";
        const int descriptor = ::mkstemp(pattern.data());
        if (descriptor < 0) {
            m_error = errno;
            return;
        }
        ::close(descriptor);
        m_path = pattern;
    }
    ~ExchangeFile() {
        if (!m_path.empty()) ::unlink(m_path.c_str());
    }
    ExchangeFile(const ExchangeFile&) = delete;
    ExchangeFile& operator=(const ExchangeFile&) = delete;

    const std::string& Path() const { return m_path; }
    int Error() const { return m_error; }

private:
    std::string m_path;
    int m_error = 0;
};

std::string ReadWhole(const std::string& path, int& error) {
    File file;
    error = 0;
    if (!file.OpenExactForReading(path)) {
        error = file.LastOsError();
        return {};
    }
    try {
        return file.ReadToEnd();
    } catch (const FileError& failure) {
        error = failure.OsError();
    }
    return {};
}

// The registry editor's form of the values, for reg import: a version-5
// export in UTF-16LE with its byte-order mark, as reg itself writes one.
std::string ImportFile(const std::string& keyPath, const std::vector<WineValue>& values) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[" + keyPath + "]\r\n";
    RegistryDocument document;
    std::string error;
    RegistryDocument::Parse("\xFF\xFE" + Utf16LittleEndianBytes(Utf16FromUtf8Lossy(text)), document, error);
    for (const WineValue& value : values) {
        if (const auto* utf8 = std::get_if<std::string>(&value.data)) {
            document.SetValue(keyPath, value.name, TextType, *utf8 + '\0');
        } else {
            unsigned char number[4];
            WriteInt32LE(number, static_cast<std::int32_t>(std::get<std::uint32_t>(value.data)));
            document.SetValue(keyPath, value.name, NumberType, std::string(reinterpret_cast<char*>(number), 4));
        }
    }
    return document.Serialize();
}

}  // namespace

WineResult RunWine(const WineCommand& command, const std::string& prefix, const std::vector<std::string>& arguments,
                   int& exitStatus) {
    exitStatus = -1;
    std::vector<std::string> argv = {FindProgram(command.program, command.searchPath)};
    if (argv.front().empty()) return WineResult::Failed(WineFailure::WineNotInstalled, ENOENT, command.program);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = WineEnvironment(command, prefix);

    // Wine's output, and that of the programs it starts for the prefix (which
    // may outlive it), goes nowhere: nothing waits on a pipe they hold.
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&files);
    for (int descriptor : {0, 1, 2}) {
        ::posix_spawn_file_actions_addopen(&files, descriptor, "/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    // A process group of its own, so a wine that does not answer is stopped with all it started.
    ::posix_spawnattr_init(&attributes);
    ::posix_spawnattr_setpgroup(&attributes, 0);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, argv.front().c_str(), &files, &attributes, Pointers(argv).data(),
                                      Pointers(environment).data());
    ::posix_spawn_file_actions_destroy(&files);
    ::posix_spawnattr_destroy(&attributes);
    if (spawned != 0) return WineResult::Failed(WineFailure::WineNotInstalled, spawned, argv.front());

    int status = 0;
    if (!WaitUntil(child, std::chrono::steady_clock::now() + command.timeout, status)) {
        ::kill(-child, SIGKILL);
        ::waitpid(child, &status, 0);
        return WineResult::Failed(WineFailure::WineTimedOut, 0, Seconds(command.timeout));
    }
    if (!WIFEXITED(status)) return WineResult::Failed(WineFailure::WineFailed, 0, "wine ended by a signal");
    exitStatus = WEXITSTATUS(status);
    return WineResult::Success();
}

WineResult WineRegProgram::Reg(const std::vector<std::string>& arguments) const {
    std::vector<std::string> words = {"reg"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    int exitStatus = 0;
    if (WineResult ran = RunWine(m_command, m_prefix, words, exitStatus); !ran.Ok()) return ran;
    if (exitStatus == 0) return WineResult::Success();
    return WineResult::Failed(WineFailure::WineFailed, 0, "reg " + arguments.front() + " exit status " + std::to_string(exitStatus));
}

WineResult WineRegProgram::CheckKey(std::string_view key) const {
    WineResult found = Reg({"query", std::string(CurrentUser) + "\\" + std::string(key)});
    // reg says 1 for a key it cannot find.
    if (found.failure == WineFailure::WineFailed) return WineResult::Failed(WineFailure::KeyNotFound);
    return found;
}

WineResult WineRegProgram::ReadValue(std::string_view key, std::string_view name, std::uint32_t& type,
                                     std::string& data) const {
    if (WineResult found = CheckKey(key); !found.Ok()) return found;
    const ExchangeFile exported(m_command.temporaryFolder);
    if (exported.Path().empty()) return WineResult::Failed(WineFailure::ReadFailed, exported.Error());
    std::string drivePath;
    if (WineResult onDrive = DrivePathInPrefix(m_prefix, exported.Path(), drivePath); !onDrive.Ok()) return onDrive;
    const std::string keyPath = std::string(CurrentUser) + "\\" + std::string(key);
    if (WineResult done = Reg({"export", keyPath, drivePath, "/y"}); !done.Ok()) return done;

    int error = 0;
    const std::string bytes = ReadWhole(exported.Path(), error);
    RegistryDocument document;
    std::string parseError;
    if (error != 0) return WineResult::Failed(WineFailure::ReadFailed, error);
    if (!RegistryDocument::Parse(bytes, document, parseError)) {
        return WineResult::Failed(WineFailure::WineFailed, 0, "reg export wrote what cannot be read: " + parseError);
    }
    const RegistryValue* value = document.FindValue(keyPath, name);
    if (!value) return WineResult::Failed(WineFailure::ValueNotFound);
    type = value->type;
    data = value->data;
    return WineResult::Success();
}

WineResult WineRegProgram::SetValues(std::string_view key, const std::vector<WineValue>& values) const {
    for (const WineValue& value : values) {
        const auto* text = std::get_if<std::string>(&value.data);
        if (!Utf16FromUtf8(value.name) || (text && !Utf16FromUtf8(*text))) {
            return WineResult::Failed(WineFailure::TextNotUnicode);
        }
    }
    if (WineResult found = CheckKey(key); !found.Ok()) return found;
    ExchangeFile imported(m_command.temporaryFolder);
    if (imported.Path().empty()) return WineResult::Failed(WineFailure::WriteFailed, imported.Error());
    std::string drivePath;
    if (WineResult onDrive = DrivePathInPrefix(m_prefix, imported.Path(), drivePath); !onDrive.Ok()) return onDrive;
    try {
        File file;
        if (!file.Open(imported.Path(), FileMode::Write)) return WineResult::Failed(WineFailure::WriteFailed, file.LastOsError());
        const std::string bytes = ImportFile(std::string(CurrentUser) + "\\" + std::string(key), values);
        file.Write(bytes.data(), bytes.size());
        file.Close();
    } catch (const FileError& error) {
        return WineResult::Failed(WineFailure::WriteFailed, error.OsError());
    }
    return Reg({"import", drivePath});
}

}  // namespace moxtrel::platform::wine
