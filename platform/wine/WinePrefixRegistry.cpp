#include "platform/wine/WinePrefixRegistry.h"

#include "platform/wine/WinePath.h"
#include "platform/wine/WineRegistryFile.h"
#include "platform/wine/WineServer.h"

namespace moxtrel::platform::wine {

WinePrefixRegistry::WinePrefixRegistry(std::string prefix, WineCommand wine)
    : m_prefix(std::move(prefix)), m_wine(std::move(wine)) {
    while (m_prefix.size() > 1 && m_prefix.back() == '/') m_prefix.pop_back();
}

WineResult WinePrefixRegistry::CheckKey(std::string_view key) const {
    const WineServerLock lock = WineServerLock::Take(m_prefix, m_wine.temporaryFolder);
    if (lock.ServerRuns()) return WineRegProgram(m_wine, m_prefix).CheckKey(key);
    WineRegistryFile file;
    if (WineResult read = WineUserRegistryFile(UserRegistryPath()).Read(file); !read.Ok()) return read;
    return file.HasKey(key) ? WineResult::Success() : WineResult::Failed(WineFailure::KeyNotFound);
}

WineResult WinePrefixRegistry::ReadValue(std::string_view key, std::string_view name, std::uint32_t& type,
                                         std::string& data) const {
    const WineServerLock lock = WineServerLock::Take(m_prefix, m_wine.temporaryFolder);
    if (lock.ServerRuns()) return WineRegProgram(m_wine, m_prefix).ReadValue(key, name, type, data);
    WineRegistryFile file;
    if (WineResult read = WineUserRegistryFile(UserRegistryPath()).Read(file); !read.Ok()) return read;
    return file.ReadValue(key, name, type, data);
}

WineResult WinePrefixRegistry::SetValues(std::string_view key, const std::vector<WineValue>& values) const {
    // Held until the file is replaced: a server that starts meanwhile waits,
    // and then reads what was written.
    const WineServerLock lock = WineServerLock::Take(m_prefix, m_wine.temporaryFolder);
    if (lock.ServerRuns()) return WineRegProgram(m_wine, m_prefix).SetValues(key, values);
    return WineUserRegistryFile(UserRegistryPath()).SetValues(key, values, WineTimeNow());
}

WineResult WinePrefixRegistry::DrivePath(const std::string& path, std::string& drivePath) const {
    return DrivePathInPrefix(m_prefix, path, drivePath);
}

}  // namespace moxtrel::platform::wine
