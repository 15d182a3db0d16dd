#pragma once
// What the Wine prefix components answer: the result of reading or changing a
// prefix's registry, with what failed and why (the system's error, the line of
// a damaged user.reg, Wine's own exit status), and the values they write.
// Nothing here throws.

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

namespace moxtrel::platform::wine {

enum class WineFailure {
    None,
    KeyNotFound,       // the key is not in the prefix's registry; no key is ever created
    ValueNotFound,     // the key has no value of that name
    NoRegistryFile,    // the prefix has no user.reg, and no wineserver runs for it
    RegistryDamaged,   // user.reg is not in Wine's format (line and detail say where); it is never rewritten
    ReadFailed,        // user.reg, or a file Wine exported, could not be read (osError)
    WriteFailed,       // user.reg could not be replaced (osError: EACCES for a read-only one)
    TextNotUnicode,    // text to write is not UTF-8, so the registry cannot hold it
    NoDrive,           // the path lies on no drive of the prefix
    WineNotInstalled,  // a wineserver runs for the prefix, and there is no wine program to ask it
    WineTimedOut,      // wine did not answer in time and was stopped; nothing was changed
    WineFailed,        // wine ran and failed (detail says how)
};

struct WineResult {
    WineFailure failure = WineFailure::None;
    int osError = 0;         // errno of the failed call, where there was one
    std::size_t line = 0;    // the 1-based line of user.reg for RegistryDamaged
    std::string detail;      // the parser's words, or how wine ended

    bool Ok() const { return failure == WineFailure::None; }

    static WineResult Success() { return {}; }
    static WineResult Failed(WineFailure failure, int osError = 0, std::string detail = {}) {
        return WineResult{failure, osError, 0, std::move(detail)};
    }
    static WineResult Damaged(std::size_t line, std::string detail) {
        return WineResult{WineFailure::RegistryDamaged, 0, line, std::move(detail)};
    }
};

// Why it failed, in words for the user, e.g. "user.reg is damaged (line 7: a
// value line Wine cannot read)" or "wine did not answer within 5 seconds".
std::string DescribeFailure(const WineResult& result);

// A value to write: text (UTF-8, stored as Wine's UTF-16 text) or a number
// (stored as a dword).
struct WineValue {
    std::string name;  // empty for the key's default value
    std::variant<std::string, std::uint32_t> data;
};

}  // namespace moxtrel::platform::wine
