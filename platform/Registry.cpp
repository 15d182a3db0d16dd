#include "platform/Registry.h"

#include <cstring>
#include <limits>
#include <string>

#include "platform/RegistryStore.h"

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

}  // namespace

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

std::int32_t Registry::OpenKey(RegistryHandle parent, std::string_view subKey, RegistryHandle& opened) {
    opened = 0;
    std::string keyPath;
    if (!FindKey(parent, keyPath)) return RegistryResult::InvalidHandle;
    if (!subKey.empty()) keyPath += "\\" + std::string(subKey);

    RegistryDocument document;
    if (const StoreResult read = RegistryStore(m_storePath).Read(document); read != StoreResult::Ok) {
        return FromStore(read);
    }
    if (!IsRoot(keyPath) && !document.HasKey(keyPath)) return RegistryResult::NotFound;
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

    RegistryDocument document;
    if (const StoreResult read = RegistryStore(m_storePath).Read(document); read != StoreResult::Ok) {
        return FromStore(read);
    }
    if (!IsRoot(keyPath) && !document.HasKey(keyPath)) return RegistryResult::KeyDeleted;
    const RegistryValue* value = document.FindValue(keyPath, name);
    if (!value) return RegistryResult::NotFound;
    if (value->data.size() > std::numeric_limits<std::uint32_t>::max()) return RegistryResult::StoreCorrupt;

    type = value->type;
    size = static_cast<std::uint32_t>(value->data.size());
    if (!data) return RegistryResult::Success;
    if (size > capacity) return RegistryResult::MoreData;
    std::memcpy(data, value->data.data(), size);
    return RegistryResult::Success;
}

std::int32_t Registry::SetValue(RegistryHandle handle, std::string_view name, std::uint32_t type, const void* data,
                                std::uint32_t size) {
    if (!data && size != 0) return RegistryResult::InvalidParameter;
    std::string keyPath;
    if (!FindKey(handle, keyPath)) return RegistryResult::InvalidHandle;

    const std::string bytes = data ? std::string(static_cast<const char*>(data), size) : std::string();
    bool keyFound = false;
    const StoreResult written = RegistryStore(m_storePath).Update([&](RegistryDocument& document) {
        keyFound = document.SetValue(keyPath, name, type, bytes);
        return keyFound;
    });
    if (written != StoreResult::Ok) return FromStore(written);
    return keyFound ? RegistryResult::Success : RegistryResult::KeyDeleted;
}

std::int32_t Registry::CloseKey(RegistryHandle handle) {
    if (handle == RegistryCurrentUser) return RegistryResult::Success;
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_keys.erase(handle) == 1 ? RegistryResult::Success : RegistryResult::InvalidHandle;
}

}  // namespace moxtrel::platform
