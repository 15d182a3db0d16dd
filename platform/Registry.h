#pragma once
// The registry of the current user, as a service: open a key (never creating
// one), read a value into a caller's buffer, set a value, close the key. The
// program makes one at its start (platform/Services.h) and hands it by
// reference to whatever reads or writes keys. Kinds: the registry store file
// (platform/StoreRegistry.h), the system's own registry on Windows
// (platform/win32/SystemRegistry.h), and an in-memory one for tests.
//
// Every call answers from the registry as it is now, so values set by other
// programs show at once. Results carry the registry's numeric codes, so
// callers that keep "the result of the last call" keep the same numbers
// everywhere, and for a failed store what failed and why.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/RegistryStatus.h"

namespace moxtrel::platform {

// Opaque key handle; 0 is no key.
using RegistryHandle = std::uintptr_t;

// The current user's root key, always open. Closing it does nothing.
inline constexpr RegistryHandle RegistryCurrentUser = 0x80000001;
// The full path of that key; every key path below starts with it.
inline constexpr std::string_view CurrentUserKeyPath = "HKEY_CURRENT_USER";

namespace RegistryType {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Text = 1;    // text with its terminating NUL
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Number = 4;  // 32-bit, little-endian
}  // namespace RegistryType

// Handles are numbers that stay valid until closed; numbers are never reused,
// so a handle that was closed stays invalid. The calls may come from several
// threads.
class Registry {
public:
    virtual ~Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // How messages name this registry, in words a user knows: the store's
    // file, "the Wine registry in ~/.wine", or HKEY_CURRENT_USER.
    virtual std::string Name() const = 0;
    // Whether there is a registry to look in at all: the system's always is;
    // a store file only when something stands at its path.
    virtual bool Exists() const = 0;

    // `path` as the programs that read this registry see it: the same path,
    // or for a Wine prefix's registry the path through one of its drives.
    virtual RegistryStatus PathForPrograms(const std::string& path, std::string& programPath) const {
        programPath = path;
        return {};
    }

    // Opens `subKey` (a backslash-separated path; empty for `parent` itself)
    // below `parent`. On success `opened` receives a new handle to close with
    // CloseKey; on failure it receives 0. A key that is not there is
    // NotFound; nothing is created.
    RegistryStatus OpenKey(RegistryHandle parent, std::string_view subKey, RegistryHandle& opened);

    // Reads value `name` (empty for the default value) of `key`. On entry
    // `size` is the capacity of `data`; on return `type` and `size` are the
    // value's type and full data size. When the data does not fit, nothing is
    // copied and the result is MoreData; a null `data` asks for type and size
    // only (Success). A missing value is NotFound with `type` and `size` 0.
    RegistryStatus QueryValue(RegistryHandle key, std::string_view name, std::uint32_t& type, void* data,
                              std::uint32_t& size);

    // Sets value `name` of `key` to `size` bytes of `data` with `type`,
    // keeping everything else as it was. Text is passed with its NUL.
    RegistryStatus SetValue(RegistryHandle key, std::string_view name, std::uint32_t type, const void* data,
                            std::uint32_t size);

    // Releases a handle from OpenKey.
    RegistryStatus CloseKey(RegistryHandle key);

protected:
    Registry() = default;

    // For a registry that stands in for another (one chosen when first
    // asked): the other's answers to the three questions below.
    static RegistryStatus CheckKeyIn(const Registry& other, const std::string& keyPath) {
        return other.CheckKey(keyPath);
    }
    static RegistryStatus ReadValueIn(const Registry& other, const std::string& keyPath, std::string_view name,
                                      std::uint32_t& type, std::string& data) {
        return other.ReadValue(keyPath, name, type, data);
    }
    static RegistryStatus WriteValueIn(Registry& other, const std::string& keyPath, std::string_view name,
                                       std::uint32_t type, const std::string& data) {
        return other.WriteValue(keyPath, name, type, data);
    }

    // The three questions each kind of registry answers its own way. Key
    // paths are full ("HKEY_CURRENT_USER\Software\..."); text values carry
    // their NUL both ways.
    // Success when the key exists, NotFound when it does not.
    virtual RegistryStatus CheckKey(const std::string& keyPath) const = 0;
    // A key that went after it was opened is KeyDeleted; a missing value NotFound.
    virtual RegistryStatus ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                                     std::string& data) const = 0;
    // A key that went after it was opened is KeyDeleted and is not made again.
    virtual RegistryStatus WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                                      const std::string& data) = 0;

private:
    // What a handle stands for: a full key path.
    bool FindKey(RegistryHandle handle, std::string& keyPath) const;

    mutable std::mutex m_mutex;
    std::unordered_map<RegistryHandle, std::string> m_keys;
    RegistryHandle m_next = 0x100;
};

struct Environment;

// The registry a program uses: the store file the environment names; else on
// Windows the system's own, and elsewhere the level editor's Wine prefix or
// the store file at its usual place (platform/wine/ChosenRegistry.h).
std::unique_ptr<Registry> MakeRegistry(const Environment& environment);

}  // namespace moxtrel::platform
