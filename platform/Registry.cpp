#include "platform/Registry.h"

#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/RegistryStore.h"

namespace moxtrel::platform {

namespace {

constexpr std::string_view CurrentUserPath = "HKEY_CURRENT_USER";

// What a handle stands for: a key path in one store.
struct OpenKey {
    std::string storePath;
    std::string keyPath;
};

// The open handles of the process. Numbers are never reused, so a handle that
// was closed stays invalid.
class HandleTable {
public:
    RegistryHandle Add(OpenKey key) {
        std::lock_guard<std::mutex> guard(m_mutex);
        const RegistryHandle handle = m_next++;
        m_keys.emplace(handle, std::move(key));
        return handle;
    }

    bool Find(RegistryHandle handle, OpenKey& key) const {
        if (handle == RegistryCurrentUser) {
            key = OpenKey{RegistryStorePath(), std::string(CurrentUserPath)};
            return true;
        }
        std::lock_guard<std::mutex> guard(m_mutex);
        const auto found = m_keys.find(handle);
        if (found == m_keys.end()) return false;
        key = found->second;
        return true;
    }

    bool Remove(RegistryHandle handle) {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_keys.erase(handle) == 1;
    }

private:
    mutable std::mutex m_mutex;
    std::unordered_map<RegistryHandle, OpenKey> m_keys;
    RegistryHandle m_next = 0x100;
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

std::int32_t FromStore(StoreResult result) {
    switch (result) {
    case StoreResult::Ok: return RegistryResult::Success;
    case StoreResult::Corrupt: return RegistryResult::StoreCorrupt;
    case StoreResult::IoFailed: break;
    }
    return RegistryResult::StoreIoFailed;
}

bool IsRoot(const OpenKey& key) {
    return key.keyPath == CurrentUserPath;
}

}  // namespace

std::int32_t OpenRegistryKey(RegistryHandle parent, std::string_view subKey, RegistryHandle& opened) {
    opened = 0;
    OpenKey key;
    if (!Handles().Find(parent, key)) return RegistryResult::InvalidHandle;
    if (!subKey.empty()) key.keyPath += "\\" + std::string(subKey);

    RegistryDocument document;
    if (const StoreResult read = RegistryStore(key.storePath).Read(document); read != StoreResult::Ok) {
        return FromStore(read);
    }
    if (!IsRoot(key) && !document.HasKey(key.keyPath)) return RegistryResult::NotFound;
    opened = Handles().Add(std::move(key));
    return RegistryResult::Success;
}

std::int32_t QueryRegistryValue(RegistryHandle handle, std::string_view name, std::uint32_t& type, void* data,
                                std::uint32_t& size) {
    const std::uint32_t capacity = size;
    type = RegistryType::None;
    size = 0;
    OpenKey key;
    if (!Handles().Find(handle, key)) return RegistryResult::InvalidHandle;

    RegistryDocument document;
    if (const StoreResult read = RegistryStore(key.storePath).Read(document); read != StoreResult::Ok) {
        return FromStore(read);
    }
    if (!IsRoot(key) && !document.HasKey(key.keyPath)) return RegistryResult::KeyDeleted;
    const RegistryValue* value = document.FindValue(key.keyPath, name);
    if (!value) return RegistryResult::NotFound;
    if (value->data.size() > std::numeric_limits<std::uint32_t>::max()) return RegistryResult::StoreCorrupt;

    type = value->type;
    size = static_cast<std::uint32_t>(value->data.size());
    if (!data) return RegistryResult::Success;
    if (size > capacity) return RegistryResult::MoreData;
    std::memcpy(data, value->data.data(), size);
    return RegistryResult::Success;
}

std::int32_t SetRegistryValue(RegistryHandle handle, std::string_view name, std::uint32_t type, const void* data,
                              std::uint32_t size) {
    if (!data && size != 0) return RegistryResult::InvalidParameter;
    OpenKey key;
    if (!Handles().Find(handle, key)) return RegistryResult::InvalidHandle;

    const std::string bytes = data ? std::string(static_cast<const char*>(data), size) : std::string();
    bool keyFound = false;
    const StoreResult written = RegistryStore(key.storePath).Update([&](RegistryDocument& document) {
        keyFound = document.SetValue(key.keyPath, name, type, bytes);
        return keyFound;
    });
    if (written != StoreResult::Ok) return FromStore(written);
    return keyFound ? RegistryResult::Success : RegistryResult::KeyDeleted;
}

std::int32_t CloseRegistryKey(RegistryHandle handle) {
    if (handle == RegistryCurrentUser) return RegistryResult::Success;
    return Handles().Remove(handle) ? RegistryResult::Success : RegistryResult::InvalidHandle;
}

}  // namespace moxtrel::platform
