#include "pictures/PictureNames.h"

#include <array>

#include "platform/Text.h"

namespace moxtrel::pictures {

namespace {

constexpr char LiquidMark = '*';
constexpr char LiquidFileMark = '#';
constexpr char EscapeMark = '%';
constexpr std::string_view RefusedCharacters = "<>:\"/\\|?";

// The names Windows gives to devices in every folder, with any extension.
constexpr std::array<std::string_view, 22> DeviceNames = {
    "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
    "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9",
};

// The length of the well-formed UTF-8 character at the start of `text`
// (no overlong forms, no surrogates, nothing beyond U+10FFFF), 0 if there is none.
std::size_t Utf8CharacterLength(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char secondLow = 0x80, secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondLow = 0xA0;
        if (lead == 0xED) secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < secondLow || byte(1) > secondHigh) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

bool MustBeEscaped(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || byte == static_cast<unsigned char>(EscapeMark) ||
           byte == static_cast<unsigned char>(LiquidFileMark) ||
           RefusedCharacters.find(static_cast<char>(byte)) != std::string_view::npos;
}

void AppendEscaped(std::string& out, unsigned char byte) {
    constexpr std::string_view Digits = "0123456789ABCDEF";
    out += EscapeMark;
    out += Digits[byte >> 4];
    out += Digits[byte & 0xFu];
}

bool IsDeviceName(std::string_view name) {
    std::string folded = FoldedCase(name);
    for (std::string_view device : DeviceNames) {
        if (folded == device) return true;
    }
    return false;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    char lower = platform::AsciiLower(c);
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

}  // namespace

std::string PictureFileName(std::string_view textureName) {
    std::string stem;
    for (std::size_t at = 0; at < textureName.size();) {
        auto byte = static_cast<unsigned char>(textureName[at]);
        std::size_t length = Utf8CharacterLength(textureName.substr(at));
        if (byte == static_cast<unsigned char>(LiquidMark)) {
            stem += LiquidFileMark;
        } else if (length == 0 || (length == 1 && MustBeEscaped(byte))) {
            AppendEscaped(stem, byte);
        } else {
            stem.append(textureName.substr(at, length));
            at += length;
            continue;
        }
        ++at;
    }
    // "con.png" would open the console on Windows; "%63on.png" is a file.
    if (IsDeviceName(stem)) {
        std::string escaped;
        AppendEscaped(escaped, static_cast<unsigned char>(stem.front()));
        stem = escaped + stem.substr(1);
    }
    return stem + std::string(PictureExtension);
}

bool HasPictureExtension(std::string_view fileName) {
    return fileName.size() >= PictureExtension.size() &&
           FoldedCase(fileName.substr(fileName.size() - PictureExtension.size())) == PictureExtension;
}

std::optional<std::string> TextureNameOfPicture(std::string_view fileName, std::string& fault) {
    if (!HasPictureExtension(fileName)) {
        fault = "a picture's name ends in .png";
        return std::nullopt;
    }
    std::string_view stem = fileName.substr(0, fileName.size() - PictureExtension.size());
    std::string name;
    for (std::size_t at = 0; at < stem.size(); ++at) {
        if (stem[at] == LiquidFileMark) {
            name += LiquidMark;
        } else if (stem[at] != EscapeMark) {
            name += stem[at];
        } else {
            int high = at + 2 < stem.size() ? HexValue(stem[at + 1]) : -1;
            int low = at + 2 < stem.size() ? HexValue(stem[at + 2]) : -1;
            if (high < 0 || low < 0) {
                fault = "'%' at character " + std::to_string(at + 1) + " is not followed by two hex digits";
                return std::nullopt;
            }
            name += static_cast<char>(high * 16 + low);
            at += 2;
        }
    }
    if (name.empty()) {
        fault = "a texture needs a name";
    } else if (name.find('\0') != std::string::npos) {
        fault = "a texture name cannot hold a NUL byte (%00)";
    } else if (name.size() > MaxTextureNameBytes) {
        fault = "the texture name is " + std::to_string(name.size()) + " bytes long; a name holds at most " +
                std::to_string(MaxTextureNameBytes);
    } else {
        return name;
    }
    return std::nullopt;
}

std::string FoldedCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = platform::AsciiLower(c);
    return folded;
}

}  // namespace moxtrel::pictures
