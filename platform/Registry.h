#pragma once
// Registry keys and values over the registry store (platform/RegistryStore.h):
// open a key (never creating one), read a value into a caller's buffer, set a
// value, close the key. Results are the registry's numeric codes, so callers
// that keep "the result of the last call" keep the same numbers everywhere.
//
// A handle names a key path in the store that was current when it was opened.
// Every call reads the store afresh, so values set by other programs show at
// once; every set is a locked read-modify-write of the store.

#include <cstdint>
#include <string_view>

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

// Opens `subKey` (a backslash-separated path; empty for `parent` itself)
// below `parent`. On success `opened` receives a new handle to close with
// CloseRegistryKey; on failure it receives 0. A key that is not in the store
// is NotFound; nothing is created.
std::int32_t OpenRegistryKey(RegistryHandle parent, std::string_view subKey, RegistryHandle& opened);

// Reads value `name` (empty for the default value) of `key`. On entry `size`
// is the capacity of `data`; on return `type` and `size` are the value's type
// and full data size. When the data does not fit, nothing is copied and the
// result is MoreData; a null `data` asks for type and size only (Success).
// A missing value is NotFound with `type` and `size` 0.
std::int32_t QueryRegistryValue(RegistryHandle key, std::string_view name, std::uint32_t& type, void* data,
                                std::uint32_t& size);

// Sets value `name` of `key` to `size` bytes of `data` with `type`, keeping
// everything else in the store as it was. Text is passed with its NUL.
std::int32_t SetRegistryValue(RegistryHandle key, std::string_view name, std::uint32_t type, const void* data,
                              std::uint32_t size);

// Releases a handle from OpenRegistryKey.
std::int32_t CloseRegistryKey(RegistryHandle key);

}  // namespace moxtrel::platform
