#pragma once
// The registry kept in a registry store file (platform/RegistryStore.h): every
// call reads the file afresh, and every set is a locked read-modify-write.

#include <string>

#include "platform/Registry.h"
#include "platform/RegistryStore.h"

namespace moxtrel::platform {

class StoreRegistry final : public Registry {
public:
    // The registry of the store file at `storePath`; an empty path (no place
    // for a store was found) fails every call with NoStorePlace. Messages
    // name it `name` ("~/.config/moxtrel/registry.reg"), else by its path.
    explicit StoreRegistry(std::string storePath, std::string name = {})
        : m_store(std::move(storePath)), m_name(std::move(name)) {}

    std::string Name() const override { return m_name.empty() ? m_store.Path() : m_name; }
    bool Exists() const override;

protected:
    RegistryStatus CheckKey(const std::string& keyPath) const override;
    RegistryStatus ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                             std::string& data) const override;
    RegistryStatus WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                              const std::string& data) override;

private:
    RegistryStore m_store;
    std::string m_name;
};

}  // namespace moxtrel::platform
