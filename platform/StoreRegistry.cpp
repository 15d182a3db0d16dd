#include "platform/StoreRegistry.h"

#include "platform/File.h"

namespace moxtrel::platform {

namespace {

bool IsRoot(const std::string& keyPath) {
    return keyPath == CurrentUserKeyPath;
}

}  // namespace

bool StoreRegistry::Exists() const {
    const std::string& path = m_store.Path();
    return !path.empty() && KindOf(path) != PathKind::Missing;
}

RegistryStatus StoreRegistry::CheckKey(const std::string& keyPath) const {
    RegistryDocument document;
    if (RegistryStatus read = m_store.Read(document); !read.Ok()) return read;
    if (IsRoot(keyPath) || document.HasKey(keyPath)) return {};
    return RegistryAnswer(RegistryResult::NotFound);
}

RegistryStatus StoreRegistry::ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                                        std::string& data) const {
    RegistryDocument document;
    if (RegistryStatus read = m_store.Read(document); !read.Ok()) return read;
    if (!IsRoot(keyPath) && !document.HasKey(keyPath)) return RegistryAnswer(RegistryResult::KeyDeleted);
    const RegistryValue* value = document.FindValue(keyPath, name);
    if (!value) return RegistryAnswer(RegistryResult::NotFound);
    type = value->type;
    data = value->data;
    return {};
}

RegistryStatus StoreRegistry::WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                                         const std::string& data) {
    bool keyFound = false;
    RegistryStatus written = m_store.Update([&](RegistryDocument& document) {
        keyFound = document.SetValue(keyPath, name, type, data);
        return keyFound;
    });
    if (!written.Ok()) return written;
    return keyFound ? RegistryStatus{} : RegistryAnswer(RegistryResult::KeyDeleted);
}

}  // namespace moxtrel::platform
