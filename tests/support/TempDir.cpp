#include "support/TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <random>

#include "platform/win32/Unicode.h"
#else
#include <unistd.h>
#endif

namespace moxtrel::test {

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& utf8) {
    std::optional<std::wstring> wide = platform::Widen(utf8);
    if (!wide) throw std::runtime_error("not UTF-8: " + utf8);
    return *wide;
}

// The long form of `path`: the temporary folder can be given in 8.3 names
// (C:\Users\LONGUS~1\...), which the program would show as they are.
std::wstring LongPathOf(const std::wstring& path) {
    std::wstring longPath(MAX_PATH, L'\0');
    DWORD length = ::GetLongPathNameW(path.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    if (length > longPath.size()) {
        longPath.resize(length);
        length = ::GetLongPathNameW(path.c_str(), longPath.data(), length);
    }
    if (length == 0 || length > longPath.size()) return path;
    longPath.resize(length);
    return longPath;
}

// A new folder with a random name under the user's temporary folder; a name
// already taken is drawn again.
std::filesystem::path MakeTemporaryFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = std::wstring(base, length) + L"moxtrel-test-" + std::to_wstring(random());
        if (::CreateDirectoryW(name.c_str(), nullptr)) return std::filesystem::path(LongPathOf(name));
        if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("CreateDirectoryW failed");
    }
    throw std::runtime_error("no free name for a temporary folder");
}

}  // namespace

TempDir::TempDir() : m_path(MakeTemporaryFolder()) {}

TempDir::~TempDir() {
    std::error_code ignored;
    // A read-only file or folder cannot be deleted: make everything writable first.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(m_path, ignored);
}

#else

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "moxtrel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Give back write permission first, so read-only folders made by a test go too.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

#endif

CurrentDirectoryGuard::CurrentDirectoryGuard() : m_saved(std::filesystem::current_path()) {}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    std::error_code ignored;
    std::filesystem::current_path(m_saved, ignored);
}

void RemoveFromOutside(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::filesystem::path current = std::filesystem::current_path();
    const std::filesystem::path inside = current.lexically_relative(path);
    if (!inside.empty() && *inside.begin() != "..") std::filesystem::current_path(path.parent_path());
#endif
    std::filesystem::remove_all(path);
}

#ifdef _WIN32

// Through the wide calls, so values that are not ASCII survive; the C
// runtime's copy and the process's own block (which a started program
// inherits) change together. An empty value removes the variable.
ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const wchar_t* old = ::_wgetenv(Wide(name).c_str())) {
        m_had = true;
        m_old = platform::Narrow(old).value_or(std::string());
    }
    ::_wputenv_s(Wide(name).c_str(), Wide(value).c_str());
}

ScopedEnv::~ScopedEnv() {
    ::_wputenv_s(Wide(m_name).c_str(), m_had ? Wide(m_old).c_str() : L"");
}

#else

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) {
        m_had = true;
        m_old = old;
    }
    ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_had) {
        ::setenv(m_name.c_str(), m_old.c_str(), 1);
    } else {
        ::unsetenv(m_name.c_str());
    }
}

#endif

}  // namespace moxtrel::test
