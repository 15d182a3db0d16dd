#pragma once
// What a registry call gives back: the registry's numeric result, the same
// numbers on every system, and when the store behind the registry failed,
// what failed and why, so that a caller can tell the user without looking at
// the store again.

#include <cstdint>
#include <string>

namespace moxtrel::platform {

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

// Which part of a store file failed. The system's own registry has no store:
// its failures are its result codes alone.
enum class RegistryFailure {
    None,           // nothing failed, or the registry answered with its result alone
    NoStorePlace,   // there is no place for the store file (no home folder was found)
    StoreNotAFile,  // a folder, device or pipe stands where the store file belongs
    StoreDamaged,   // the store cannot be parsed; `detail` says where and why
    StoreIo,        // the store, its folder or its lock could not be read or written
    Unavailable,    // the program that keeps the registry could not be asked; `detail` says why
};

struct RegistryStatus {
    std::int32_t result = RegistryResult::Success;
    RegistryFailure failure = RegistryFailure::None;
    // The system's error number (an errno value) of the failed call behind
    // StoreIo; 0 when none is known.
    int osError = 0;
    // For StoreDamaged: the parser's reason with its line ("line 3: ...");
    // for Unavailable: why, in words for the user.
    std::string detail;

    bool Ok() const { return result == RegistryResult::Success; }
};

// A result of the registry's own (no such key, a value too large...), with
// nothing more to say.
inline RegistryStatus RegistryAnswer(std::int32_t result) {
    return RegistryStatus{result, RegistryFailure::None, 0, {}};
}

// A failed read or write of the store file, with the system's error number.
inline RegistryStatus StoreIoFailure(int osError) {
    return RegistryStatus{RegistryResult::StoreIoFailed, RegistryFailure::StoreIo, osError, {}};
}

}  // namespace moxtrel::platform
