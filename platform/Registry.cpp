#include "platform/Registry.h"

#include <cstring>
#include <limits>
#include <string>

namespace moxtrel::platform {

bool Registry::FindKey(RegistryHandle handle, std::string& keyPath) const {
    if (handle == RegistryCurrentUser) {
        keyPath = std::string(CurrentUserKeyPath);
        return true;
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_keys.find(handle);
    if (found == m_keys.end()) return false;
    keyPath = found->second;
    return true;
}

RegistryStatus Registry::OpenKey(RegistryHandle parent, std::string_view subKey, RegistryHandle& opened) {
    opened = 0;
    std::string keyPath;
    if (!FindKey(parent, keyPath)) return RegistryAnswer(RegistryResult::InvalidHandle);
    if (!subKey.empty()) keyPath += "\\" + std::string(subKey);
    if (RegistryStatus found = CheckKey(keyPath); !found.Ok()) return found;
    std::lock_guard<std::mutex> guard(m_mutex);
    opened = m_next++;
    m_keys.emplace(opened, std::move(keyPath));
    return {};
}

RegistryStatus Registry::QueryValue(RegistryHandle handle, std::string_view name, std::uint32_t& type, void* data,
                                    std::uint32_t& size) {
    const std::uint32_t capacity = size;
    type = RegistryType::None;
    size = 0;
    std::string keyPath;
    if (!FindKey(handle, keyPath)) return RegistryAnswer(RegistryResult::InvalidHandle);

    std::uint32_t valueType = RegistryType::None;
    std::string value;
    if (RegistryStatus read = ReadValue(keyPath, name, valueType, value); !read.Ok()) return read;
    if (value.size() > std::numeric_limits<std::uint32_t>::max()) return RegistryAnswer(RegistryResult::StoreCorrupt);

    type = valueType;
    size = static_cast<std::uint32_t>(value.size());
    if (!data) return {};
    if (size > capacity) return RegistryAnswer(RegistryResult::MoreData);
    std::memcpy(data, value.data(), size);
    return {};
}

RegistryStatus Registry::SetValue(RegistryHandle handle, std::string_view name, std::uint32_t type, const void* data,
                                  std::uint32_t size) {
    if (!data && size != 0) return RegistryAnswer(RegistryResult::InvalidParameter);
    std::string keyPath;
    if (!FindKey(handle, keyPath)) return RegistryAnswer(RegistryResult::InvalidHandle);
    const std::string bytes = data ? std::string(static_cast<const char*>(data), size) : std::string();
    return WriteValue(keyPath, name, type, bytes);
}

RegistryStatus Registry::CloseKey(RegistryHandle handle) {
    if (handle == RegistryCurrentUser) return {};
    std::lock_guard<std::mutex> guard(m_mutex);
    return RegistryAnswer(m_keys.erase(handle) == 1 ? RegistryResult::Success : RegistryResult::InvalidHandle);
}

}  // namespace moxtrel::platform
