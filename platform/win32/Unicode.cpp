#include "platform/win32/Unicode.h"

#include <climits>
#include <windows.h>

namespace moxtrel::platform {

// Both conversions refuse invalid input instead of putting U+FFFD in its
// place: a replaced character would name another file.

std::optional<std::wstring> Widen(std::string_view utf8) {
    if (utf8.empty()) return std::wstring();
    if (utf8.size() > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(utf8.size());
    const int wide = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring result(static_cast<std::size_t>(wide), L'\0');
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, result.data(), wide) != wide) {
        return std::nullopt;
    }
    return result;
}

std::optional<std::string> Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return std::string();
    if (utf16.size() > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(utf16.size());
    const int narrow =
        ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) return std::nullopt;
    std::string result(static_cast<std::size_t>(narrow), '\0');
    if (::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), length, result.data(), narrow, nullptr,
                              nullptr) != narrow) {
        return std::nullopt;
    }
    return result;
}

}  // namespace moxtrel::platform
