#include "platform/Registry.h"

#include <cstring>
#include <limits>
#include <string>

#include "platform/RegistryStore.h"
#ifdef _WIN32
#include "platform/win32/SystemRegistry.h"
#endif

namespace moxtrel::platform {

namespace {

constexpr std::string_view CurrentUserPath = "HKEY_CURRENT_USER";

std::int32_t FromStore(StoreResult result) {
    switch (result) {
    case StoreResult::Ok: return RegistryResult::Success;
    case StoreResult::Corrupt: return RegistryResult::StoreCorrupt;
    case StoreResult::IoFailed: break;
    }
    return RegistryResult::StoreIoFailed;
}

bool IsRoot(const std::string& keyPath) {
    return keyPath == CurrentUserPath;
}

// The path below the current user's root: "Software\..." of
// "HKEY_CURRENT_USER\Software\...", empty for the root itself.
[[maybe_unused]] std::string BelowRoot(const std::string& keyPath) {
    return IsRoot(keyPath) ? std::string() : keyPath.substr(CurrentUserPath.size() + 1);
}

}  // namespace

Registry Registry::Named(const std::string& storePath) {
#ifdef _WIN32
    if (storePath.empty()) return Registry(SystemTag{});
#endif
    return Registry(storePath);
}

bool Registry::FindKey(RegistryHandle handle, std::string& keyPath) const {
    if (handle == RegistryCurrentUser) {
        keyPath = std::string(CurrentUserPath);
        return true;
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_keys.find(handle);
    if (found == m_keys.end()) return false;
    keyPath = found->second;
    return true;
}

std::int32_t Registry::CheckKey(const std::string& keyPath) const {
#ifdef _WIN32
    if (m_system) return system::CheckKey(BelowRoot(keyPath));
#endif
    RegistryDocument document;
    if (const StoreResult read = RegistryStore(m_storePath).Read(document); read != StoreResult::Ok) {
        return FromStore(read);
    }
    return IsRoot(keyPath) || document.HasKey(keyPath) ? RegistryResult::Success : RegistryResult::NotFound;
}

std::int32_t Registry::ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                                 std::string& data) const {
#ifdef _WIN32
    if (m_system) return system::ReadValue(BelowRoot(keyPath), name, type, data);
#endif
    RegistryDocument document;
    if (const StoreResult read = RegistryStore(m_storePath).Read(document); read != StoreResult::Ok) {
        return FromStore(read);
    }
    if (!IsRoot(keyPath) && !document.HasKey(keyPath)) return RegistryResult::KeyDeleted;
    const RegistryValue* value = document.FindValue(keyPath, name);
    if (!value) return RegistryResult::NotFound;
    type = value->type;
    data = value->data;
    return RegistryResult::Success;
}

std::int32_t Registry::WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                                  const std::string& data) {
#ifdef _WIN32
    if (m_system) return system::WriteValue(BelowRoot(keyPath), name, type, data);
#endif
    bool keyFound = false;
    const StoreResult written = RegistryStore(m_storePath).Update([&](RegistryDocument& document) {
        keyFound = document.SetValue(keyPath, name, type, data);
        return keyFound;
    });
    if (written != StoreResult::Ok) return FromStore(written);
    return keyFound ? RegistryResult::Success : RegistryResult::KeyDeleted;
}

std::int32_t Registry::OpenKey(RegistryHandle parent, std::string_view subKey, RegistryHandle& opened) {
    opened = 0;
    std::string keyPath;
    if (!FindKey(parent, keyPath)) return RegistryResult::InvalidHandle;
    if (!subKey.empty()) keyPath += "\\" + std::string(subKey);
    if (const std::int32_t found = CheckKey(keyPath); found != RegistryResult::Success) return found;
    std::lock_guard<std::mutex> guard(m_mutex);
    opened = m_next++;
    m_keys.emplace(opened, std::move(keyPath));
    return RegistryResult::Success;
}

std::int32_t Registry::QueryValue(RegistryHandle handle, std::string_view name, std::uint32_t& type, void* data,
                                  std::uint32_t& size) {
    const std::uint32_t capacity = size;
    type = RegistryType::None;
    size = 0;
    std::string keyPath;
    if (!FindKey(handle, keyPath)) return RegistryResult::InvalidHandle;

    std::uint32_t valueType = RegistryType::None;
    std::string value;
    if (const std::int32_t read = ReadValue(keyPath, name, valueType, value); read != RegistryResult::Success) {
        return read;
    }
    if (value.size() > std::numeric_limits<std::uint32_t>::max()) return RegistryResult::StoreCorrupt;

    type = valueType;
    size = static_cast<std::uint32_t>(value.size());
    if (!data) return RegistryResult::Success;
    if (size > capacity) return RegistryResult::MoreData;
    std::memcpy(data, value.data(), size);
    return RegistryResult::Success;
}

std::int32_t Registry::SetValue(RegistryHandle handle, std::string_view name, std::uint32_t type, const void* data,
                                std::uint32_t size) {
    if (!data && size != 0) return RegistryResult::InvalidParameter;
    std::string keyPath;
    if (!FindKey(handle, keyPath)) return RegistryResult::InvalidHandle;
    const std::string bytes = data ? std::string(static_cast<const char*>(data), size) : std::string();
    return WriteValue(keyPath, name, type, bytes);
}

std::int32_t Registry::CloseKey(RegistryHandle handle) {
    if (handle == RegistryCurrentUser) return RegistryResult::Success;
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_keys.erase(handle) == 1 ? RegistryResult::Success : RegistryResult::InvalidHandle;
}

}  // namespace moxtrel::platform
