#pragma once
// The registry of a Wine prefix as the registry service: the level editor's
// registry on a system where it runs under Wine. Calls go to the prefix's
// user.reg, or through Wine while a wineserver runs for the prefix
// (WinePrefixRegistry.h), and paths are given as the prefix's programs see them.

#include <string>

#include "platform/Registry.h"
#include "platform/wine/WinePrefixRegistry.h"

namespace moxtrel::platform::wine {

class WineRegistry final : public Registry {
public:
    // Messages name it `name`: "the Wine registry in ~/.wine".
    WineRegistry(std::string prefix, WineCommand wine, std::string name)
        : m_prefix(std::move(prefix), std::move(wine)), m_name(std::move(name)) {}

    std::string Name() const override { return m_name; }
    bool Exists() const override { return true; }
    // The path through the prefix's drive whose target holds most of it
    // ("Z:\home\me\quake\id1\Quake.wad").
    RegistryStatus PathForPrograms(const std::string& path, std::string& programPath) const override;

protected:
    RegistryStatus CheckKey(const std::string& keyPath) const override;
    RegistryStatus ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                             std::string& data) const override;
    RegistryStatus WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                              const std::string& data) override;

private:
    WinePrefixRegistry m_prefix;
    std::string m_name;
};

}  // namespace moxtrel::platform::wine
