#include "support/FakeRegistry.h"

#include <algorithm>

namespace moxtrel::test {

namespace {

using platform::RegistryAnswer;
using platform::RegistryResult::KeyDeleted;
using platform::RegistryResult::NotFound;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

}  // namespace

void FakeRegistry::AddKey(const std::string& keyPath) {
    m_keys[Lower(keyPath)];
}

void FakeRegistry::SetText(const std::string& keyPath, const std::string& name, const std::string& text) {
    m_keys[Lower(keyPath)][Lower(name)] = Value{platform::RegistryType::Text, text + '\0'};
}

const FakeRegistry::Key* FakeRegistry::FindKey(const std::string& keyPath) const {
    const auto key = m_keys.find(Lower(keyPath));
    return key == m_keys.end() ? nullptr : &key->second;
}

std::optional<std::string> FakeRegistry::Data(const std::string& keyPath, const std::string& name) const {
    const Key* key = FindKey(keyPath);
    if (!key) return std::nullopt;
    const auto value = key->find(Lower(name));
    if (value == key->end()) return std::nullopt;
    return value->second.data;
}

std::optional<std::string> FakeRegistry::Text(const std::string& keyPath, const std::string& name) const {
    const std::optional<std::string> data = Data(keyPath, name);
    if (!data || data->empty() || data->back() != '\0') return std::nullopt;
    return data->substr(0, data->size() - 1);
}

platform::RegistryStatus FakeRegistry::CheckKey(const std::string& keyPath) const {
    if (m_openFailure) return *m_openFailure;
    return FindKey(keyPath) ? platform::RegistryStatus{} : RegistryAnswer(NotFound);
}

platform::RegistryStatus FakeRegistry::ReadValue(const std::string& keyPath, std::string_view name,
                                                 std::uint32_t& type, std::string& data) const {
    const Key* key = FindKey(keyPath);
    if (!key) return RegistryAnswer(KeyDeleted);
    const auto value = key->find(Lower(name));
    if (value == key->end()) return RegistryAnswer(NotFound);
    type = value->second.type;
    data = value->second.data;
    return {};
}

platform::RegistryStatus FakeRegistry::WriteValue(const std::string& keyPath, std::string_view name,
                                                  std::uint32_t type, const std::string& data) {
    if (m_writeFailure) return *m_writeFailure;
    const auto key = m_keys.find(Lower(keyPath));
    if (key == m_keys.end()) return RegistryAnswer(KeyDeleted);
    key->second[Lower(name)] = Value{type, data};
    ++m_writes;
    return {};
}

}  // namespace moxtrel::test
