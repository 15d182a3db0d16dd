#pragma once
// UTF-8 and UTF-16 text, and UTF-16 as little-endian bytes: the registry
// editor's version-5 exports and Wine's registry hold text as UTF-16, the
// program as UTF-8. Written here rather than through iconv, which the Windows
// build does not have.

#include <optional>
#include <string>
#include <string_view>

namespace moxtrel::platform {

inline constexpr char16_t ReplacementCharacter = 0xFFFD;

// The UTF-16 units of UTF-8 text; none when `utf8` is not UTF-8 (a stray or
// missing continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8);
// The same, with each byte that is not part of a UTF-8 sequence read as U+FFFD.
std::u16string Utf16FromUtf8Lossy(std::string_view utf8);

// Decodes the UTF-8 sequence at utf8[pos] and appends its UTF-16 units,
// moving `pos` past it; false, with nothing moved, when the bytes there are
// not UTF-8.
bool AppendUtf16OfUtf8Sequence(std::string_view utf8, std::size_t& pos, std::u16string& utf16);

// Where the first surrogate without its partner is; npos when there is none.
std::size_t FirstUnpairedSurrogate(std::u16string_view utf16);

// The UTF-8 text of UTF-16 units; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view utf16);

// UTF-16 units as little-endian bytes, and back (an odd last byte is ignored).
std::string Utf16LittleEndianBytes(std::u16string_view utf16);
std::u16string Utf16FromLittleEndianBytes(std::string_view bytes);

}  // namespace moxtrel::platform
