#pragma once
// A registry held in memory, for tests of what the program does with keys
// and values: the test makes the keys, reads back what was written and counts
// the writes, and can make opening or writing fail with a status of its
// choice. Key paths are full ("HKEY_CURRENT_USER\Software\...") and, like
// value names, matched without regard to ASCII case.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace moxtrel::test {

class FakeRegistry final : public platform::Registry {
public:
    // `name` is how messages name the registry.
    explicit FakeRegistry(std::string name = "the fake registry") : m_name(std::move(name)) {}

    void AddKey(const std::string& keyPath);
    // Adds the key when needed and sets a text value (stored with its NUL).
    void SetText(const std::string& keyPath, const std::string& name, const std::string& text);
    // A value's bytes as stored (text with its NUL); none when missing.
    std::optional<std::string> Data(const std::string& keyPath, const std::string& name) const;
    // A text value without its NUL; none when missing or not text.
    std::optional<std::string> Text(const std::string& keyPath, const std::string& name) const;

    // Every key opened from now on answers `status` instead.
    void FailOpening(platform::RegistryStatus status) { m_openFailure = std::move(status); }
    // Every value set from now on answers `status` instead, and nothing is written.
    void FailWriting(platform::RegistryStatus status) { m_writeFailure = std::move(status); }
    // Whether the registry is there at all (Exists); it is unless told.
    void SetExists(bool exists) { m_exists = exists; }
    // How many values were written.
    int Writes() const { return m_writes; }

    std::string Name() const override { return m_name; }
    bool Exists() const override { return m_exists; }

protected:
    platform::RegistryStatus CheckKey(const std::string& keyPath) const override;
    platform::RegistryStatus ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                                       std::string& data) const override;
    platform::RegistryStatus WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                                        const std::string& data) override;

private:
    struct Value {
        std::uint32_t type = 0;
        std::string data;
    };
    // Values by lower-case name, of keys by lower-case path.
    using Key = std::map<std::string, Value>;

    const Key* FindKey(const std::string& keyPath) const;

    std::string m_name;
    std::map<std::string, Key> m_keys;
    std::optional<platform::RegistryStatus> m_openFailure;
    std::optional<platform::RegistryStatus> m_writeFailure;
    bool m_exists = true;
    int m_writes = 0;
};

}  // namespace moxtrel::test
