#pragma once
// The registry of a Wine prefix as the level editor in it sees it. While a
// wineserver runs for the prefix, every call goes through Wine's reg program,
// which asks that server; when none runs, user.reg is read and edited
// directly, and a server is kept from starting until the edit is done.
// Either way a change is what the editor started afterwards, and
// "wine reg query", see.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wine/WineProgram.h"
#include "platform/wine/WineResult.h"

namespace moxtrel::platform::wine {

class WinePrefixRegistry {
public:
    WinePrefixRegistry(std::string prefix, WineCommand wine);

    const std::string& Prefix() const { return m_prefix; }

    // Keys are named below the current user ("Software\Orvek\..."). Besides
    // the failures of each value call, KeyNotFound when there is no such key,
    // NoRegistryFile for a prefix without user.reg whose server is not running.
    WineResult CheckKey(std::string_view key) const;
    // Text comes as UTF-8 with its NUL, a dword as 4 bytes little-endian.
    WineResult ReadValue(std::string_view key, std::string_view name, std::uint32_t& type, std::string& data) const;
    // Sets values in the existing `key`; no key is created. Nothing is changed
    // when any of them cannot be set.
    WineResult SetValues(std::string_view key, const std::vector<WineValue>& values) const;

    // `path` as the prefix's programs see it (see WinePath.h).
    WineResult DrivePath(const std::string& path, std::string& drivePath) const;

private:
    std::string UserRegistryPath() const { return m_prefix + "/user.reg"; }

    std::string m_prefix;
    WineCommand m_wine;
};

}  // namespace moxtrel::platform::wine
