#pragma once
// Small text helpers for the plain ASCII formats the program reads (drive
// maps, registry stores) and the names it compares, each written once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace moxtrel::platform {

// Spaces and tabs: what the registry store's lines are trimmed of.
inline constexpr std::string_view Blanks = " \t";

std::string_view TrimLeft(std::string_view text, std::string_view characters = Blanks);
std::string_view TrimRight(std::string_view text, std::string_view characters = Blanks);
std::string_view Trim(std::string_view text, std::string_view characters = Blanks);

// One to `maxDigits` hex digits (either letter case) and nothing else.
std::optional<std::uint32_t> ParseHex(std::string_view digits, std::size_t maxDigits = 8);

// 'A' to 'Z' become 'a' to 'z'; every other byte stays as it is.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII-only case-insensitive equality, as the game's own names are compared.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Bytes read from a file (a texture's name, a package's) as text a person can
// read wherever it is shown: printable ASCII as it is, every other byte as
// \xNN in upper-case hex. A control byte printed as it is could move a
// terminal's cursor, and bytes that are not UTF-8 are no text a window shows.
std::string ReadableText(std::string_view bytes);

}  // namespace moxtrel::platform
