#include "WineTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace moxtrel::test {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int ExitStatus(int status) {
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Removes the server folder Debian's Wine made for `prefix` in the
// temporary folder, whose name the prefix's "wineserver" file keeps.
void RemoveServerRoot(const fs::path& prefix) {
    const std::string name = ReadText(prefix / "wineserver");
    if (name.empty() || name.find('/') != std::string::npos || name.find('\n') != std::string::npos) return;
    std::error_code error;
    fs::remove_all(fs::temp_directory_path(error) / name, error);
}

// The prefix wineboot made, in the build folder; made on first use. Two
// test processes that make it at once each make their own and one keeps its.
fs::path TemplatePrefix() {
    const fs::path kept = MOXTREL_WINE_TEMPLATE_DIR;
    if (fs::exists(kept / "user.reg")) return kept;
    const fs::path making = kept.string() + ".making-" + std::to_string(::getpid());
    fs::remove_all(making);
    const int booted = ExitStatus(std::system(
        ("WINEDLLOVERRIDES=mscoree,mshtml= WINEDEBUG=-all WINEPREFIX=" + Quoted(making.string()) +
         " wineboot -i >/dev/null 2>&1 && WINEPREFIX=" + Quoted(making.string()) + " wineserver -w").c_str()));
    if (booted != 0) throw std::runtime_error("wineboot could not make a prefix");
    RemoveServerRoot(making);
    fs::remove(making / "wineserver");
    std::error_code error;
    fs::rename(making, kept, error);
    if (error) fs::remove_all(making);
    return kept;
}

// Copies the prefix: registry files whole, the rest as hard links.
void CopyPrefix(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        const fs::path name = entry.path().filename();
        if (name == "wineserver") continue;  // the server's folder of its own prefix
        if (entry.is_directory() && !entry.is_symlink() && name != "dosdevices") {
            fs::copy(entry.path(), to / name, fs::copy_options::recursive | fs::copy_options::create_hard_links |
                                                  fs::copy_options::copy_symlinks);
        } else {
            fs::copy(entry.path(), to / name, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        }
    }
}

}  // namespace

platform::wine::WineCommand WineFromEnvironment() {
    platform::wine::WineCommand wine;
    for (char** entry = environ; *entry; ++entry) wine.environment.emplace_back(*entry);
    const char* path = std::getenv("PATH");
    wine.searchPath = path ? path : "/usr/bin:/bin";
    return wine;
}

std::string WineMissingReason() {
    for (const char* program : {"wine", "wineserver", "wineboot", "winepath"}) {
        if (std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) != 0) {
            return std::string(program) + " is not installed";
        }
    }
    return {};
}

int RunInPrefix(const fs::path& prefix, const std::vector<std::string>& command, std::string* output) {
    std::string line = "WINEDEBUG=-all LC_ALL=C.UTF-8 WINEPREFIX=" + Quoted(prefix.string());
    for (const std::string& word : command) line += " " + Quoted(word);
    const fs::path printed = prefix / ".test-output";
    line += " >" + Quoted(printed.string()) + " 2>/dev/null </dev/null";
    const int status = ExitStatus(std::system(line.c_str()));
    if (output) *output = ReadText(printed);
    fs::remove(printed);
    return status;
}

std::string QueryValue(const fs::path& prefix, const std::string& key, const std::string& name) {
    // A wine started on a loaded machine has once failed before reg ran (a
    // value of one import missing beside the others); a value that is truly
    // missing is missing on every try.
    std::string printed;
    bool ran = false;
    for (int tries = 0; tries < 3 && !ran; ++tries) {
        ran = RunInPrefix(prefix, {"wine", "reg", "query", key, "/v", name}, &printed) == 0;
    }
    if (!ran) return "<missing>";
    // "    name    REG_SZ    data": the data follows the type.
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t type = line.find("    REG_");
        if (type == std::string::npos) continue;
        const std::size_t data = line.find("    ", type + 4);
        return data == std::string::npos ? std::string() : line.substr(data + 4);
    }
    return "<missing>";
}

TestPrefix::TestPrefix(const std::string& name) : m_path(m_folder / name) {
    CopyPrefix(TemplatePrefix(), m_path);
}

void TestPrefix::AddEditorSlots() const {
    std::ofstream(m_path / "user.reg", std::ios::app)
        << "\n[Software\\\\Orvek\\\\Lathmore\\\\Gantry\\\\Settings\\\\txpack0] 1700000000\n"
           "#time=1da1b2c3d4e5f60\n\"name\"=\"Other.wad\"\n\"path\"=\"C:\\\\Other\\\\Other.wad\"\n"
           "\"type\"=dword:00000001\n"
           "\n[Software\\\\Orvek\\\\Lathmore\\\\Gantry\\\\Settings\\\\txpack1] 1700000000\n"
           "#time=1da1b2c3d4e5f60\n";
}

TestPrefix::~TestPrefix() {
    StopServer();
    RemoveServerRoot(m_path);
}

void TestPrefix::StartServer() const {
    RunInPrefix(m_path, {"wineserver", "-p"});
}

void TestPrefix::StopServer() const {
    RunInPrefix(m_path, {"wineserver", "-k"});
    RunInPrefix(m_path, {"wineserver", "-w"});
}

}  // namespace moxtrel::test
