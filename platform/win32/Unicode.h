#pragma once
// Windows only: the one place where the program's UTF-8 text meets the UTF-16
// of the wide Win32 calls. Every name handed to Windows is widened here and
// every name Windows hands back is narrowed here, so names that are not ASCII
// survive whatever the system's ANSI code page is.

#include <optional>
#include <string>
#include <string_view>

namespace moxtrel::platform {

// The UTF-16 form of `utf8`; none when it is not valid UTF-8 (a stray or
// missing continuation byte, an overlong form, an encoded surrogate), since
// such a name could only reach Windows altered.
std::optional<std::wstring> Widen(std::string_view utf8);

// The UTF-8 form of `utf16`; none when it holds a surrogate without its pair,
// which NTFS allows in names but UTF-8 cannot carry.
std::optional<std::string> Narrow(std::wstring_view utf16);

}  // namespace moxtrel::platform
