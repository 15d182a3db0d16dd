#pragma once
// Windows only: the current user's own registry, the registry the programs
// use when no store file is named. Results are Windows' own error codes,
// which are the registry results the program uses everywhere. No key is ever
// created here.

#include <string>

#include "platform/Registry.h"

namespace moxtrel::platform {

class SystemRegistry final : public Registry {
public:
    std::string Name() const override { return std::string(CurrentUserKeyPath); }
    bool Exists() const override { return true; }

protected:
    RegistryStatus CheckKey(const std::string& keyPath) const override;
    // Text comes back as UTF-8 with its NUL; other types as their bytes.
    RegistryStatus ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                             std::string& data) const override;
    // Text is given as UTF-8 with its NUL and stored through the wide calls.
    RegistryStatus WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                              const std::string& data) override;
};

}  // namespace moxtrel::platform
