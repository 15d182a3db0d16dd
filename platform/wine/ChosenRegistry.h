#pragma once
// The registry a run uses on a system without one of its own, chosen when it
// is first asked (RegistryStoreChoice.h): the file $MOXTREL_REGISTRY names,
// the level editor's Wine prefix, or the store file at its usual place.
// Choosing may read a prefix's registry or ask its wineserver, so a run that
// never registers never pays for it.

#include <memory>
#include <mutex>
#include <string>

#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/wine/RegistryStoreChoice.h"

namespace moxtrel::platform::wine {

class ChosenRegistry final : public Registry {
public:
    explicit ChosenRegistry(const Environment& environment);

    std::string Name() const override { return Chosen().Name(); }
    bool Exists() const override { return Chosen().Exists(); }
    RegistryStatus PathForPrograms(const std::string& path, std::string& programPath) const override {
        return Chosen().PathForPrograms(path, programPath);
    }

protected:
    RegistryStatus CheckKey(const std::string& keyPath) const override { return CheckKeyIn(Chosen(), keyPath); }
    RegistryStatus ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                             std::string& data) const override {
        return ReadValueIn(Chosen(), keyPath, name, type, data);
    }
    RegistryStatus WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                              const std::string& data) override {
        return WriteValueIn(Chosen(), keyPath, name, type, data);
    }

private:
    Registry& Chosen() const;

    StoreEnvironment m_environment;
    WineCommand m_wine;
    mutable std::once_flag m_choosing;
    mutable std::unique_ptr<Registry> m_chosen;
};

}  // namespace moxtrel::platform::wine
