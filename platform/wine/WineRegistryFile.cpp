#include "platform/wine/WineRegistryFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/File.h"
#include "platform/FileReplacement.h"
#include "platform/FsPath.h"
#include "platform/LittleEndian.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/Utf16.h"

namespace moxtrel::platform::wine {

namespace {

constexpr std::string_view Header = "WINE REGISTRY Version 2";
constexpr WineTime TicksPerSecond = 10'000'000;
constexpr WineTime TicksFrom1601To1970 = 116'444'736'000'000'000;
constexpr std::uint32_t TextType = 1;
constexpr std::uint32_t ExpandableTextType = 2;
constexpr std::uint32_t BinaryType = 3;
constexpr std::uint32_t NumberType = 4;
constexpr std::uint32_t MultiTextType = 7;

// What the C library's isspace takes for a blank, as Wine's reader does.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t SkipSpaces(std::string_view line, std::size_t pos) {
    while (pos < line.size() && IsSpace(line[pos])) ++pos;
    return pos;
}

int DigitValue(char c, int base) {
    int value = base;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

// Up to `maxDigits` digits of `base` at line[pos], as one UTF-16 unit.
char16_t ReadDigits(std::string_view line, std::size_t& pos, int base, int maxDigits) {
    unsigned value = 0;
    for (int i = 0; i < maxDigits && pos < line.size() && DigitValue(line[pos], base) >= 0; ++i, ++pos) {
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(line[pos], base));
    }
    return static_cast<char16_t>(value);
}

// The control character a letter escape stands for: \a \b \e \f \n \r \t \v.
constexpr std::string_view EscapeLetters = "abefnrtv";
constexpr char16_t EscapedControls[] = {7, 8, 27, 12, 10, 13, 9, 11};

// Reads text in Wine's escaped form from line[pos] up to an unescaped `end`,
// which is passed over. False when `end` never comes or the text is not
// UTF-8. A backslash before any other character stands for that character.
bool ReadEscaped(std::string_view line, std::size_t& pos, char end, std::u16string& units) {
    units.clear();
    while (pos < line.size() && line[pos] != end) {
        if (line[pos] == '\\') {
            if (++pos == line.size()) return false;
            const std::size_t letter = EscapeLetters.find(line[pos]);
            if (letter != std::string_view::npos) {
                units.push_back(EscapedControls[letter]);
                ++pos;
                continue;
            }
            if (line[pos] == 'x') {
                ++pos;
                const bool digits = pos < line.size() && DigitValue(line[pos], 16) >= 0;
                units.push_back(digits ? ReadDigits(line, pos, 16, 4) : u'x');
                continue;
            }
            if (DigitValue(line[pos], 8) >= 0) {
                units.push_back(ReadDigits(line, pos, 8, 3));
                continue;
            }
        }
        if (!AppendUtf16OfUtf8Sequence(line, pos, units)) return false;
    }
    if (pos == line.size()) return false;
    ++pos;
    return true;
}

// Text in Wine's escaped form, as the server writes it: units above 127 as
// \x escapes (four digits when a hex digit follows), control characters as
// letter or octal escapes, and a backslash before '\' and the two `specials`.
std::string Escape(std::u16string_view units, std::string_view specials) {
    std::string text;
    char escape[16];
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const char16_t next = i + 1 < units.size() ? units[i + 1] : 0;
        if (unit > 127) {
            const bool hexFollows = next < 128 && DigitValue(static_cast<char>(next), 16) >= 0;
            std::snprintf(escape, sizeof escape, hexFollows ? "\\x%04x" : "\\x%x", static_cast<unsigned>(unit));
            text += escape;
        } else if (unit < 32) {
            const auto control = std::find(std::begin(EscapedControls), std::end(EscapedControls), unit);
            if (control != std::end(EscapedControls)) {
                text += '\\';
                text += EscapeLetters[static_cast<std::size_t>(control - std::begin(EscapedControls))];
            } else {
                const bool octalFollows = next >= '0' && next <= '7';
                std::snprintf(escape, sizeof escape, octalFollows ? "\\%03o" : "\\%o", static_cast<unsigned>(unit));
                text += escape;
            }
        } else {
            const char c = static_cast<char>(unit);
            if (c == '\\' || specials.find(c) != std::string_view::npos) text += '\\';
            text += c;
        }
    }
    return text;
}

char16_t AsciiLower16(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

// Value names in the server's order: unit by unit ignoring ASCII case, a
// shorter name before a longer one it begins.
int CompareNames(std::u16string_view a, std::u16string_view b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        const int difference = AsciiLower16(a[i]) - AsciiLower16(b[i]);
        if (difference != 0) return difference;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool IsSameOrBeneath(std::string_view key, std::string_view path) {
    if (key.empty()) return true;
    if (path.size() == key.size()) return EqualsIgnoringCase(key, path);
    return path.size() > key.size() && path[key.size()] == '\\' && EqualsIgnoringCase(path.substr(0, key.size()), key);
}

std::string NumberBytes(std::uint32_t number) {
    unsigned char bytes[4];
    WriteInt32LE(bytes, static_cast<std::int32_t>(number));
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// The data of a value line after its '=': its type, how its data is
// written, and where that starts.
struct DataForm {
    std::uint32_t type = 0;
    enum { Text, Number, Bytes } form = Text;
    std::size_t start = 0;
};

bool ReadDataForm(std::string_view line, std::size_t pos, DataForm& data) {
    const std::string_view rest = line.substr(pos);
    const struct {
        std::string_view tag;
        std::uint32_t type;
        decltype(DataForm::form) form;
    } tags[] = {
        {"\"", TextType, DataForm::Text},           {"str:\"", TextType, DataForm::Text},
        {"str(2):\"", ExpandableTextType, DataForm::Text}, {"str(7):\"", MultiTextType, DataForm::Text},
        {"hex:", BinaryType, DataForm::Bytes},      {"dword:", NumberType, DataForm::Number},
    };
    for (const auto& tag : tags) {
        if (rest.substr(0, tag.tag.size()) == tag.tag) {
            data = {tag.type, tag.form, pos + tag.tag.size()};
            return true;
        }
    }
    const std::size_t close = rest.find("):");
    if (rest.substr(0, 4) != "hex(" || close == std::string_view::npos) return false;
    const std::optional<std::uint32_t> type = ParseHex(rest.substr(4, close - 4));
    if (!type) return false;
    data = {*type, DataForm::Bytes, pos + close + 2};
    return true;
}

// Hex bytes "aa,bb, 0c" from line[pos]; `pos` ends where they do.
bool ReadHexBytes(std::string_view line, std::size_t& pos, std::string& bytes) {
    while (pos < line.size() && DigitValue(line[pos], 16) >= 0) {
        std::size_t digits = 0;
        unsigned byte = 0;
        for (; pos < line.size() && DigitValue(line[pos], 16) >= 0; ++pos, ++digits) {
            byte = byte * 16 + static_cast<unsigned>(DigitValue(line[pos], 16));
        }
        if (digits > 2) return false;
        bytes.push_back(static_cast<char>(byte));
        pos = SkipSpaces(line, pos);
        if (pos < line.size() && line[pos] == ',') pos = SkipSpaces(line, pos + 1);
    }
    return true;
}

std::string FormatValue(const std::u16string& name, const std::variant<std::string, std::uint32_t>& data,
                        const std::u16string& text) {
    std::string line = name.empty() ? "@=" : "\"" + Escape(name, "\"\"") + "\"=";
    if (const auto* number = std::get_if<std::uint32_t>(&data)) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", *number);
        return line + digits;
    }
    return line + "\"" + Escape(text, "\"\"") + "\"";
}

// The key line with its timestamp made `now`, as the server writes it.
std::string StampedKeyLine(std::string_view keyLine, std::size_t keyNameEnd, WineTime now) {
    const auto seconds = static_cast<unsigned>((now - TicksFrom1601To1970) / TicksPerSecond);
    return std::string(keyLine.substr(0, keyNameEnd)) + " " + std::to_string(seconds);
}

std::string TimeLine(WineTime now) {
    char line[32];
    std::snprintf(line, sizeof line, "#time=%x%08x", static_cast<unsigned>(now >> 32),
                  static_cast<unsigned>(now & 0xFFFFFFFF));
    return line;
}

}  // namespace

WineTime WineTimeNow() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>(sinceEpoch);
    return TicksFrom1601To1970 + static_cast<WineTime>(std::max<std::int64_t>(ticks.count(), 0));
}

WineResult WineRegistryFile::Parse(std::string_view bytes, WineRegistryFile& file) {
    file = WineRegistryFile();
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        Line line{std::string(bytes.substr(0, newline)), newline == std::string_view::npos ? "" : "\n"};
        if (!line.end.empty() && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.end = "\r\n";
        }
        file.m_lines.push_back(std::move(line));
        bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
    }
    if (file.m_lines.empty() || file.m_lines.front().text != Header) {
        return WineResult::Damaged(1, "the file does not begin with " + std::string(Header));
    }
    for (std::size_t index = 1; index < file.m_lines.size(); ++index) {
        if (file.m_lines[index].text.find('\0') != std::string::npos) return WineResult::Damaged(index + 1, "a NUL byte");
        const std::string_view text = file.m_lines[index].text;
        const std::size_t start = SkipSpaces(text, 0);
        const char first = start < text.size() ? text[start] : ';';
        WineResult result;
        if (first == '@' || first == '"') {
            result = file.ParseValue(index);
        } else if (first == '[' || first == '#') {
            result = file.ParseLine(index);
        } else if (first != ';') {
            result = WineResult::Damaged(index + 1, "a line Wine cannot read");
        }
        if (!result.Ok()) return result;
    }
    return WineResult::Success();
}

// A key line or an option line.
WineResult WineRegistryFile::ParseLine(std::size_t index) {
    const std::string_view text = m_lines[index].text;
    std::size_t pos = SkipSpaces(text, 0);
    if (text[pos] == '#') {
        if (m_sections.empty()) {
            const std::string_view option = text.substr(pos);
            if (option.substr(0, 6) == "#arch=" && option != "#arch=win32" && option != "#arch=win64") {
                return WineResult::Damaged(index + 1, "an architecture Wine does not know");
            }
        } else {
            if (text.substr(pos, 6) == "#time=") m_sections.back().timeLine = index;
            m_sections.back().lastLine = index;
        }
        return WineResult::Success();
    }
    std::u16string units;
    ++pos;
    if (!ReadEscaped(text, pos, ']', units)) return WineResult::Damaged(index + 1, "a key line without its closing ]");
    Section section;
    section.path = Utf8FromUtf16(units);
    section.keyLine = section.lastLine = index;
    section.keyNameEnd = pos;
    if (FindSection(section.path)) return WineResult::Damaged(index + 1, "a key listed twice");
    m_sections.push_back(std::move(section));
    return WineResult::Success();
}

// A value line and the lines its hex data goes on over; `index` moves to the last.
WineResult WineRegistryFile::ParseValue(std::size_t& index) {
    const std::size_t first = index;
    auto damaged = [&](std::string_view what) { return WineResult::Damaged(index + 1, std::string(what)); };
    if (m_sections.empty()) return damaged("a value before the first key");
    const std::string_view text = m_lines[index].text;
    Value value;
    value.firstLine = index;
    std::size_t pos = SkipSpaces(text, 0) + 1;
    if (text[pos - 1] == '"' && !ReadEscaped(text, pos, '"', value.name)) return damaged("a value name without its closing quote");
    pos = SkipSpaces(text, pos);
    DataForm data;
    if (pos == text.size() || text[pos] != '=' || !ReadDataForm(text, SkipSpaces(text, pos + 1), data)) {
        return damaged("a value line Wine cannot read");
    }
    value.type = data.type;
    pos = data.start;
    if (data.form == DataForm::Text) {
        std::u16string units;
        if (!ReadEscaped(text, pos, '"', units)) return damaged("a text without its closing quote");
        value.data = Utf8FromUtf16(units) + '\0';
    } else if (data.form == DataForm::Number) {
        std::size_t end = pos;
        while (end < text.size() && DigitValue(text[end], 16) >= 0) ++end;
        const std::optional<std::uint32_t> number = ParseHex(text.substr(pos, end - pos));
        if (!number || SkipSpaces(text, end) != text.size()) return damaged("a dword that is not 1 to 8 hex digits");
        value.data = NumberBytes(*number);
    } else {
        while (true) {
            const std::string_view part = m_lines[index].text;
            if (!ReadHexBytes(part, pos, value.data)) return damaged("a hex byte of more than two digits");
            pos = SkipSpaces(part, pos);
            if (pos == part.size()) break;
            if (part[pos] != '\\' || SkipSpaces(part, pos + 1) != part.size()) return damaged("hex data Wine cannot read");
            if (++index == m_lines.size()) return WineResult::Damaged(index, "hex data cut short at the end of the file");
            pos = SkipSpaces(m_lines[index].text, 0);
        }
    }
    value.lineCount = index - first + 1;
    Section& section = m_sections.back();
    section.lastLine = index;
    section.values.push_back(std::move(value));
    return WineResult::Success();
}

std::string WineRegistryFile::Serialize() const {
    std::string bytes;
    for (const Line& line : m_lines) bytes += line.text + line.end;
    return bytes;
}

const WineRegistryFile::Section* WineRegistryFile::FindSection(std::string_view key) const {
    for (const Section& section : m_sections) {
        if (EqualsIgnoringCase(section.path, key)) return &section;
    }
    return nullptr;
}

bool WineRegistryFile::HasKey(std::string_view key) const {
    return key.empty() || std::any_of(m_sections.begin(), m_sections.end(),
                                      [&](const Section& section) { return IsSameOrBeneath(key, section.path); });
}

std::vector<std::string> WineRegistryFile::KeyPaths() const {
    std::vector<std::string> paths;
    for (const Section& section : m_sections) paths.push_back(section.path);
    return paths;
}

std::vector<std::string> WineRegistryFile::ValueNames(std::string_view key) const {
    std::vector<std::string> names;
    if (const Section* section = FindSection(key)) {
        for (const Value& value : section->values) names.push_back(Utf8FromUtf16(value.name));
    }
    return names;
}

WineResult WineRegistryFile::ReadValue(std::string_view key, std::string_view name, std::uint32_t& type,
                                       std::string& data) const {
    const Section* section = FindSection(key);
    if (!section) return WineResult::Failed(HasKey(key) ? WineFailure::ValueNotFound : WineFailure::KeyNotFound);
    const Value* value = FindValue(*section, Utf16FromUtf8Lossy(name));
    if (!value) return WineResult::Failed(WineFailure::ValueNotFound);
    type = value->type;
    data = value->data;
    return WineResult::Success();
}

const WineRegistryFile::Value* WineRegistryFile::FindValue(const Section& section, std::u16string_view name) {
    // A name given twice takes its last value, as the server reads it.
    for (auto value = section.values.rbegin(); value != section.values.rend(); ++value) {
        if (CompareNames(value->name, name) == 0) return &*value;
    }
    return nullptr;
}

std::vector<WineRegistryFile::Line> WineRegistryFile::EditedSection(const Section& section,
                                                                    const std::vector<Value>& changes,
                                                                    WineTime now) const {
    const std::string end = m_lines[section.keyLine].end.empty() ? "\n" : m_lines[section.keyLine].end;
    std::vector<Line> lines;
    std::vector<Value> pending = changes;
    std::sort(pending.begin(), pending.end(), [](const Value& a, const Value& b) { return CompareNames(a.name, b.name) < 0; });
    auto emitPendingBefore = [&](const std::u16string* name) {
        while (!pending.empty() && (!name || CompareNames(pending.front().name, *name) < 0)) {
            lines.push_back({pending.front().data, end});
            pending.erase(pending.begin());
        }
    };
    lines.push_back({StampedKeyLine(m_lines[section.keyLine].text, section.keyNameEnd, now), m_lines[section.keyLine].end});
    if (section.timeLine == 0) lines.push_back({TimeLine(now), end});
    for (std::size_t index = section.keyLine + 1; index <= section.lastLine; ++index) {
        const Line& original = m_lines[index];
        const auto value = std::find_if(section.values.begin(), section.values.end(),
                                        [&](const Value& v) { return v.firstLine == index; });
        if (value == section.values.end()) {
            lines.push_back(index == section.timeLine ? Line{TimeLine(now), original.end} : original);
            continue;
        }
        emitPendingBefore(&value->name);
        const auto replacement = std::find_if(changes.begin(), changes.end(),
                                              [&](const Value& c) { return CompareNames(c.name, value->name) == 0; });
        const bool lastOfName = std::none_of(value + 1, section.values.end(),
                                             [&](const Value& v) { return CompareNames(v.name, value->name) == 0; });
        if (replacement != changes.end() && lastOfName) {
            lines.push_back({replacement->data, original.end});
            pending.erase(std::remove_if(pending.begin(), pending.end(),
                                         [&](const Value& p) { return CompareNames(p.name, value->name) == 0; }),
                          pending.end());
        } else {
            lines.insert(lines.end(), m_lines.begin() + static_cast<std::ptrdiff_t>(index),
                         m_lines.begin() + static_cast<std::ptrdiff_t>(index + value->lineCount));
        }
        index += value->lineCount - 1;
    }
    if (lines.back().end.empty()) lines.back().end = end;
    emitPendingBefore(nullptr);
    if (section.lastLine + 1 == m_lines.size() && m_lines.back().end.empty()) lines.back().end.clear();
    return lines;
}

void WineRegistryFile::ReplaceLines(std::size_t first, std::size_t count, std::vector<Line> lines) {
    const auto at = m_lines.begin() + static_cast<std::ptrdiff_t>(first);
    m_lines.erase(at, at + static_cast<std::ptrdiff_t>(count));
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(first), lines.begin(), lines.end());
}

WineResult WineRegistryFile::SetValues(std::string_view key, const std::vector<WineValue>& values, WineTime now,
                                       bool& changed) {
    changed = false;
    if (!HasKey(key)) return WineResult::Failed(WineFailure::KeyNotFound);
    const Section* section = FindSection(key);
    // Each change is kept as the value's new line in `data`.
    std::vector<Value> changes;
    for (const WineValue& value : values) {
        Value change;
        change.name = Utf16FromUtf8Lossy(value.name);
        std::u16string text;
        if (const auto* utf8 = std::get_if<std::string>(&value.data)) {
            std::optional<std::u16string> units = Utf16FromUtf8(*utf8);
            if (!units || !Utf16FromUtf8(value.name)) return WineResult::Failed(WineFailure::TextNotUnicode);
            text = std::move(*units);
            change.type = TextType;
            change.data = *utf8 + '\0';
        } else {
            change.type = NumberType;
            change.data = NumberBytes(std::get<std::uint32_t>(value.data));
        }
        // The server leaves a key alone when a value is set to what it
        // holds, and a value it holds keeps the spelling of its name.
        const Value* old = section ? FindValue(*section, change.name) : nullptr;
        if (old && old->type == change.type && old->data == change.data) continue;
        if (old) change.name = old->name;
        change.data = FormatValue(change.name, value.data, text);
        changes.push_back(std::move(change));
    }
    if (changes.empty()) return WineResult::Success();

    changed = true;
    if (section) {
        const std::size_t first = section->keyLine;
        const std::size_t count = section->lastLine - section->keyLine + 1;
        ReplaceLines(first, count, EditedSection(*section, changes, now));
    } else {
        // A key the file lists only through keys beneath it: it gets lines of
        // its own before the first of them, as the server would write it.
        const auto beneath = std::find_if(m_sections.begin(), m_sections.end(),
                                          [&](const Section& s) { return IsSameOrBeneath(key, s.path); });
        const std::string end = m_lines[beneath->keyLine].end.empty() ? "\n" : m_lines[beneath->keyLine].end;
        Section made;
        made.path = beneath->path.substr(0, key.size());
        const std::string keyText = "[" + Escape(Utf16FromUtf8Lossy(made.path), "[]") + "]";
        made.keyLine = made.lastLine = beneath->keyLine;
        made.keyNameEnd = keyText.size();
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(made.keyLine), Line{keyText, end});
        std::vector<Line> lines = EditedSection(made, changes, now);
        lines.push_back({"", end});
        ReplaceLines(made.keyLine, 1, std::move(lines));
    }
    std::string bytes = Serialize();
    return Parse(bytes, *this);
}

WineResult WineUserRegistryFile::Read(WineRegistryFile& file) const {
    File input;
    if (!input.OpenExactForReading(m_path)) {
        const int error = input.LastOsError();
        return WineResult::Failed(error == ENOENT ? WineFailure::NoRegistryFile : WineFailure::ReadFailed, error);
    }
    if (!input.IsRegularFile()) return WineResult::Failed(WineFailure::ReadFailed, EISDIR);
    std::string bytes;
    try {
        bytes = input.ReadToEnd();
    } catch (const FileError& error) {
        return WineResult::Failed(WineFailure::ReadFailed, error.OsError());
    }
    return WineRegistryFile::Parse(bytes, file);
}

WineResult WineUserRegistryFile::SetValues(std::string_view key, const std::vector<WineValue>& values, WineTime now) {
    // A program that saves the file meanwhile (another tool; the server is
    // not running) makes the change go again on what it saved.
    constexpr int Attempts = 5;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        WineRegistryFile file;
        if (WineResult read = Read(file); !read.Ok()) return read;
        const std::string basis = file.Serialize();
        bool changed = false;
        if (WineResult set = file.SetValues(key, values, now, changed); !set.Ok() || !changed) return set;

        // A linked user.reg stays linked: its target is what is replaced.
        std::error_code linkError;
        const std::string target = std::filesystem::is_symlink(ToFsPath(m_path), linkError)
                                       ? FromFsPath(std::filesystem::canonical(ToFsPath(m_path), linkError))
                                       : m_path;
        FileReplacement replacement;
        if (linkError || !replacement.Begin(target, NameOf(target) + ".")) {
            return WineResult::Failed(WineFailure::WriteFailed, linkError ? linkError.value() : replacement.LastOsError());
        }
        try {
            const std::string bytes = file.Serialize();
            replacement.Output().Write(bytes.data(), bytes.size());
            replacement.Seal();
            WineRegistryFile current;
            if (!Read(current).Ok() || current.Serialize() != basis) continue;
            replacement.Commit();
        } catch (const FileError& error) {
            return WineResult::Failed(WineFailure::WriteFailed, error.OsError());
        }
        return WineResult::Success();
    }
    return WineResult::Failed(WineFailure::WriteFailed, EAGAIN, "user.reg kept changing while it was written");
}

}  // namespace moxtrel::platform::wine
