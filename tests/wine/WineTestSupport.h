#pragma once
// Wine prefixes for tests: each a copy of one prefix that wineboot made once
// (kept in the build folder, since making one takes a while), with its
// wineserver stopped when the test ends. Commands run with WINEPREFIX set and
// Wine's debug output off.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/wine/WineProgram.h"
#include "support/TempDir.h"
#include "support/TextFile.h"

namespace moxtrel::test {

// Why Wine tests are skipped here, or empty when wine, wineserver, wineboot
// and winepath can all be run.
std::string WineMissingReason();

// Runs `command` (words, quoted for the shell here) with WINEPREFIX=`prefix`;
// its standard output goes to `output` when given. Returns its exit status.
int RunInPrefix(const std::filesystem::path& prefix, const std::vector<std::string>& command,
                std::string* output = nullptr);

// How to run Wine from this process's environment.
platform::wine::WineCommand WineFromEnvironment();

// What `wine reg query KEY /v NAME` prints as the value's data, the way the
// editor would find it; "<missing>" when reg finds no such value.
std::string QueryValue(const std::filesystem::path& prefix, const std::string& key, const std::string& name);

class TestPrefix {
public:
    // A copy of the prefix made once, as `name` in a folder of its own (the
    // home folder of a test that wants "~/.wine"): its registry files
    // copied, its Windows folder linked (Wine does not write there in these
    // tests). Throws when no prefix can be made.
    explicit TestPrefix(const std::string& name = "prefix");
    // Stops the prefix's wineserver, if one runs.
    ~TestPrefix();
    TestPrefix(const TestPrefix&) = delete;
    TestPrefix& operator=(const TestPrefix&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder the prefix is in.
    const std::filesystem::path& Folder() const { return m_folder.Path(); }
    // Adds the level editor's slots to user.reg (the server must be stopped):
    // txpack0 holding another program's pack, and txpack1 free.
    void AddEditorSlots() const;
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    void StartServer() const;  // wineserver -p: it stays until stopped
    void StopServer() const;   // wineserver -k, and waits for it to go

private:
    TempDir m_folder;
    std::filesystem::path m_path;
};

}  // namespace moxtrel::test
