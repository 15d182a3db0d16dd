#pragma once
// A fresh directory under the system's temporary folder, removed with all its
// contents when the object goes. Tests build their games inside it.

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/Paths.h"

namespace moxtrel::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path with a trailing separator, as a game directory is written.
    std::string Dir() const { return m_path.string() + platform::Separator; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// `path` with each '/' made the system's separator, as the program writes
// the paths it shows and registers ('\' on Windows).
inline std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', platform::Separator);
    return path;
}

// The absolute path of this system that `posixPath` ("/games/quake") stands
// for: itself, or on Windows the same folders on drive C: ("C:\games\quake").
inline std::string Absolute(const std::string& posixPath) {
#ifdef _WIN32
    return "C:" + Native(posixPath);
#else
    return posixPath;
#endif
}

// Whether a test can make symbolic links: the C++ library of the Windows
// build makes none (and Wine would make none either). A test about links
// skips without them; one that makes a link among other things leaves it
// out, and what it expects of the link then holds of a missing path.
#ifdef _WIN32
inline constexpr bool CanMakeSymbolicLinks = false;
#else
inline constexpr bool CanMakeSymbolicLinks = true;
#endif
inline constexpr const char* NoSymbolicLinks = "symbolic links cannot be made here";

// Whether two names differing only in case can stand in one folder: not on
// Windows, whose file systems ignore case.
#ifdef _WIN32
inline constexpr bool CaseSensitiveNames = false;
#else
inline constexpr bool CaseSensitiveNames = true;
#endif
inline constexpr const char* NamesIgnoreCase = "the file system ignores case: one name cannot have two spellings";

// Restores the process's current directory when it goes, since the run and
// the dialogs change it on purpose.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard();
    ~CurrentDirectoryGuard();

private:
    std::filesystem::path m_saved;
};

// Removes `path` with everything below it, as a user does from outside the
// program. Windows cannot remove a folder that is the current directory (the
// program makes the game directory its own), so the process leaves it first.
void RemoveFromOutside(const std::filesystem::path& path);

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();

private:
    std::string m_name;
    bool m_had = false;
    std::string m_old;
};

}  // namespace moxtrel::test
