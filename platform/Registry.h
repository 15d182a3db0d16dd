#pragma once
// Registry keys and values: open a key (never creating one), read a value
// into a caller's buffer, set a value, close the key. They are kept in the
// registry store (platform/RegistryStore.h), or on Windows in the system's own
// registry under the current user. Results are the registry's numeric codes,
// so callers that keep "the result of the last call" keep the same numbers
// everywhere.
//
// Every call reads the registry afresh, so values set by other programs show
// at once; in the store every set is a locked read-modify-write.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace moxtrel::platform {

// Opaque key handle; 0 is no key.
using RegistryHandle = std::uintptr_t;

// The current user's root key, always open. Closing it does nothing.
inline constexpr RegistryHandle RegistryCurrentUser = 0x80000001;

namespace RegistryResult {
inline constexpr std::int32_t Success = 0;
inline constexpr std::int32_t NotFound = 2;           // no such key or value
inline constexpr std::int32_t InvalidHandle = 6;
inline constexpr std::int32_t InvalidParameter = 87;
inline constexpr std::int32_t MoreData = 234;         // the value is larger than the buffer
inline constexpr std::int32_t StoreCorrupt = 1009;    // the store cannot be parsed; it was left untouched
inline constexpr std::int32_t StoreIoFailed = 1016;   // the store could not be read or written
inline constexpr std::int32_t KeyDeleted = 1018;      // the key went from the store after it was opened
}  // namespace RegistryResult

namespace RegistryType {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Text = 1;    // text with its terminating NUL
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Number = 4;  // 32-bit, little-endian
}  // namespace RegistryType

// The registry of one store file, made once by the program from its
// environment and handed to whatever reads or writes keys. Handles are numbers
// that stay valid until closed; numbers are never reused, so a handle that was
// closed stays invalid.
class Registry {
public:
    // The registry kept in the store file at `storePath`.
    explicit Registry(std::string storePath) : m_storePath(std::move(storePath)) {}
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // The registry the program's environment names (Environment's
    // registryStorePath): that store file, or on Windows, where an empty path
    // means no store was asked for, the system's own registry.
    static Registry Named(const std::string& storePath);

    // The store's file; empty when there is no place for one, and for the
    // system's registry.
    const std::string& StorePath() const { return m_storePath; }
    // Whether this is the system's own registry rather than a store file.
    bool IsSystem() const { return m_system; }

    // Opens `subKey` (a backslash-separated path; empty for `parent` itself)
    // below `parent`. On success `opened` receives a new handle to close with
    // CloseKey; on failure it receives 0. A key that is not in the store is
    // NotFound; nothing is created.
    std::int32_t OpenKey(RegistryHandle parent, std::string_view subKey, RegistryHandle& opened);

    // Reads value `name` (empty for the default value) of `key`. On entry
    // `size` is the capacity of `data`; on return `type` and `size` are the
    // value's type and full data size. When the data does not fit, nothing is
    // copied and the result is MoreData; a null `data` asks for type and size
    // only (Success). A missing value is NotFound with `type` and `size` 0.
    std::int32_t QueryValue(RegistryHandle key, std::string_view name, std::uint32_t& type, void* data,
                            std::uint32_t& size);

    // Sets value `name` of `key` to `size` bytes of `data` with `type`, keeping
    // everything else in the store as it was. Text is passed with its NUL.
    std::int32_t SetValue(RegistryHandle key, std::string_view name, std::uint32_t type, const void* data,
                          std::uint32_t size);

    // Releases a handle from OpenKey.
    std::int32_t CloseKey(RegistryHandle key);

private:
    struct SystemTag {};
    explicit Registry(SystemTag) : m_system(true) {}

    // What a handle stands for: a key path in the store.
    bool FindKey(RegistryHandle handle, std::string& keyPath) const;
    // The three questions each kind of registry answers its own way.
    std::int32_t CheckKey(const std::string& keyPath) const;
    std::int32_t ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                           std::string& data) const;
    std::int32_t WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                            const std::string& data);

    std::string m_storePath;
    bool m_system = false;
    mutable std::mutex m_mutex;
    std::unordered_map<RegistryHandle, std::string> m_keys;
    RegistryHandle m_next = 0x100;
};

}  // namespace moxtrel::platform
