#pragma once
// A fresh directory under the system's temporary folder, removed with all its
// contents when the object goes. Tests build their games inside it.

#include <filesystem>
#include <string>

namespace moxtrel::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path with a trailing '/', as a game directory is written.
    std::string Dir() const { return m_path.string() + "/"; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Whether a test can make symbolic links: the C++ library of the Windows
// build makes none (and Wine would make none either).
#ifdef _WIN32
inline constexpr bool CanMakeSymbolicLinks = false;
#else
inline constexpr bool CanMakeSymbolicLinks = true;
#endif
inline constexpr const char* NoSymbolicLinks = "symbolic links cannot be made here";

// Restores the process's current directory when it goes, since the run and
// the dialogs change it on purpose.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard();
    ~CurrentDirectoryGuard();

private:
    std::filesystem::path m_saved;
};

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
