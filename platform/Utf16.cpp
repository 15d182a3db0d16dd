#include "platform/Utf16.h"

namespace moxtrel::platform {

namespace {

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The length of the UTF-8 sequence that `lead` starts and the bits it holds;
// 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        bits = lead & 0x1Fu;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0Fu;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        bits = lead & 0x07u;
        return 4;
    }
    return 0;
}

// Decodes the code point at utf8[pos], moving `pos` past it; false when the
// bytes there are not UTF-8.
bool DecodeCodePoint(std::string_view utf8, std::size_t& pos, char32_t& codePoint) {
    constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const std::size_t length = SequenceLength(static_cast<unsigned char>(utf8[pos]), codePoint);
    if (length == 0 || length > utf8.size() - pos) return false;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(utf8[pos + i]);
        if ((next & 0xC0u) != 0x80u) return false;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < Smallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return false;
    }
    pos += length;
    return true;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    auto byte = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80) {
        byte(codePoint);
    } else if (codePoint < 0x800) {
        byte(0xC0 | (codePoint >> 6));
        byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        byte(0xE0 | (codePoint >> 12));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    } else {
        byte(0xF0 | (codePoint >> 18));
        byte(0x80 | ((codePoint >> 12) & 0x3F));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    }
}

void AppendUtf16(std::u16string& utf16, char32_t codePoint) {
    if (codePoint < 0x10000) {
        utf16.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    utf16.push_back(static_cast<char16_t>(0xD800 | (codePoint >> 10)));
    utf16.push_back(static_cast<char16_t>(0xDC00 | (codePoint & 0x3FF)));
}

// The UTF-16 units of `utf8`; false at the first byte that is not UTF-8
// unless `lossy`, which reads such a byte as U+FFFD.
bool ToUtf16(std::string_view utf8, bool lossy, std::u16string& utf16) {
    utf16.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t codePoint = 0;
        if (!DecodeCodePoint(utf8, pos, codePoint)) {
            if (!lossy) return false;
            codePoint = ReplacementCharacter;
            ++pos;
        }
        AppendUtf16(utf16, codePoint);
    }
    return true;
}

}  // namespace

std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8) {
    std::u16string utf16;
    if (!ToUtf16(utf8, false, utf16)) return std::nullopt;
    return utf16;
}

std::u16string Utf16FromUtf8Lossy(std::string_view utf8) {
    std::u16string utf16;
    ToUtf16(utf8, true, utf16);
    return utf16;
}

bool AppendUtf16OfUtf8Sequence(std::string_view utf8, std::size_t& pos, std::u16string& utf16) {
    char32_t codePoint = 0;
    if (pos >= utf8.size() || !DecodeCodePoint(utf8, pos, codePoint)) return false;
    AppendUtf16(utf16, codePoint);
    return true;
}

std::size_t FirstUnpairedSurrogate(std::u16string_view utf16) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        if (IsHighSurrogate(utf16[i]) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(utf16[i]) || IsLowSurrogate(utf16[i])) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string utf8;
    utf8.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t unit = utf16[i];
        if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00u);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            unit = ReplacementCharacter;
        }
        AppendUtf8(utf8, unit);
    }
    return utf8;
}

std::string Utf16LittleEndianBytes(std::u16string_view utf16) {
    std::string bytes;
    bytes.reserve(utf16.size() * 2);
    for (char16_t unit : utf16) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string Utf16FromLittleEndianBytes(std::string_view bytes) {
    std::u16string utf16;
    utf16.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        utf16.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    return utf16;
}

}  // namespace moxtrel::platform
