#include "platform/RegistryStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/File.h"
#include "platform/FileReplacement.h"
#include "platform/FsPath.h"
#include "platform/LittleEndian.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/Utf16.h"

namespace moxtrel::platform {

namespace {

constexpr std::string_view Header = "REGEDIT4";
constexpr std::string_view Version5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::uint32_t TextType = 1;
constexpr std::uint32_t ExpandableTextType = 2;
constexpr std::uint32_t BinaryType = 3;
constexpr std::uint32_t NumberType = 4;
// Hex data is wrapped as the registry editor does, so lines stay readable.
constexpr std::size_t HexLineWidth = 76;

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

// One to `maxDigits` hex digits and nothing else.
bool ParseHexNumber(std::string_view s, std::size_t maxDigits, std::uint32_t& value) {
    std::optional<std::uint32_t> parsed = ParseHex(s, maxDigits);
    if (parsed) value = *parsed;
    return parsed.has_value();
}

// "aa,bb,0c": comma-separated bytes, blanks allowed around each; nothing at all is no bytes.
bool ParseHexBytes(std::string_view list, std::string& bytes) {
    bytes.clear();
    if (TrimLeft(list).empty()) return true;
    while (true) {
        const std::size_t comma = list.find(',');
        std::uint32_t byte = 0;
        if (!ParseHexNumber(TrimRight(TrimLeft(list.substr(0, comma))), 2, byte)) return false;
        bytes.push_back(static_cast<char>(byte));
        if (comma == std::string_view::npos) return true;
        list.remove_prefix(comma + 1);
    }
}

// Reads a quoted string starting at line[pos] == '"', undoing the \\ and \"
// escapes. A backslash before any other character stands for itself.
bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& text) {
    text.clear();
    ++pos;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\' && pos + 1 < line.size() && (line[pos + 1] == '\\' || line[pos + 1] == '"')) {
            text.push_back(line[pos + 1]);
            pos += 2;
            continue;
        }
        text.push_back(c);
        ++pos;
    }
    return false;
}

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string NumberBytes(std::uint32_t number) {
    unsigned char bytes[4];
    WriteInt32LE(bytes, static_cast<std::int32_t>(number));
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::uint32_t BytesNumber(std::string_view bytes) {
    std::uint32_t number = static_cast<std::uint32_t>(ReadInt32LE(reinterpret_cast<const unsigned char*>(bytes.data())));
    return number;
}

// Text kept as hex bytes in a version-5 store is UTF-16LE: it is read as the
// UTF-8 text a program gets. Bytes that are not UTF-16 stay as they are.
void DecodeVersion5HexText(std::uint32_t type, std::string& bytes) {
    if ((type != TextType && type != ExpandableTextType) || bytes.size() % 2 != 0) return;
    const std::u16string units = Utf16FromLittleEndianBytes(bytes);
    if (FirstUnpairedSurrogate(units) == std::u16string::npos) bytes = Utf8FromUtf16(units);
}

// The data part of a value line, after the '='.
bool ParseData(std::string_view data, bool version5, std::uint32_t& type, std::string& bytes) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        if (!ReadQuoted(data, pos, bytes) || !TrimLeft(data.substr(pos)).empty()) return false;
        bytes.push_back('\0');
        type = TextType;
        return true;
    }
    if (StartsWithIgnoringCase(data, "dword:")) {
        std::uint32_t number = 0;
        if (!ParseHexNumber(data.substr(6), 8, number)) return false;
        bytes = NumberBytes(number);
        type = NumberType;
        return true;
    }
    if (StartsWithIgnoringCase(data, "hex:")) {
        type = BinaryType;
        return ParseHexBytes(data.substr(4), bytes);
    }
    if (StartsWithIgnoringCase(data, "hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || !ParseHexNumber(data.substr(4, close - 4), 8, type)) return false;
        if (!ParseHexBytes(data.substr(close + 2), bytes)) return false;
        if (version5) DecodeVersion5HexText(type, bytes);
        return true;
    }
    return false;
}

// A value line, already joined with its continuation lines: "name"=data or @=data.
bool ParseValueLine(std::string_view line, bool version5, RegistryValue& value) {
    std::size_t pos = 0;
    if (line.front() == '@') {
        value.name.clear();
        pos = 1;
    } else if (!ReadQuoted(line, pos, value.name) || value.name.empty()) {
        // An empty quoted name would be a second spelling of the default value.
        return false;
    }
    std::string_view rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return false;
    return ParseData(TrimLeft(rest.substr(1)), version5, value.type, value.data);
}

std::vector<std::string_view> SplitLines(std::string_view text, bool& crlf) {
    std::vector<std::string_view> lines;
    crlf = false;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            if (first) crlf = true;
        }
        first = false;
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool IsSameOrAncestorPath(std::string_view ancestor, std::string_view path) {
    if (path.size() == ancestor.size()) return EqualsIgnoringCase(ancestor, path);
    return path.size() > ancestor.size() && path[ancestor.size()] == '\\' &&
           EqualsIgnoringCase(path.substr(0, ancestor.size()), ancestor);
}

// A value line with the lines that continue it: long hex data goes on over
// lines that end in a backslash. Moves `index` to the last line used; `raw`
// receives the lines as read, joined by '\n'.
std::string JoinContinuedLines(const std::vector<std::string_view>& lines, std::size_t& index, std::string& raw) {
    std::string joined(TrimLeft(TrimRight(lines[index])));
    raw = lines[index];
    while (!joined.empty() && joined.back() == '\\' && index + 1 < lines.size()) {
        joined.pop_back();
        ++index;
        joined += TrimLeft(TrimRight(lines[index]));
        raw += '\n';
        raw += lines[index];
    }
    return joined;
}

// A value named twice keeps its first place and its last data, as an import would.
void PutParsedValue(RegistryKeySection& section, RegistryValue value) {
    auto same = std::find_if(section.values.begin(), section.values.end(), [&](const RegistryValue& v) {
        return !v.isComment && EqualsIgnoringCase(v.name, value.name);
    });
    if (same != section.values.end()) {
        *same = std::move(value);
    } else {
        section.values.push_back(std::move(value));
    }
}

std::string LineError(std::size_t index, std::string_view what) {
    return "line " + std::to_string(index + 1) + ": " + std::string(what);
}

RegistryStatus NotAFile() {
    return RegistryStatus{RegistryResult::StoreIoFailed, RegistryFailure::StoreNotAFile, 0, {}};
}

RegistryStatus Damaged(std::string parseError) {
    return RegistryStatus{RegistryResult::StoreCorrupt, RegistryFailure::StoreDamaged, 0, std::move(parseError)};
}

RegistryStatus NoPlace() {
    return RegistryStatus{RegistryResult::StoreIoFailed, RegistryFailure::NoStorePlace, 0, {}};
}

// The errno value of a file system call's error, on both systems.
int ErrnoOf(const std::error_code& error) {
    return error.default_error_condition().value();
}

// The UTF-8 text of a store file's bytes and the encoding they are in.
bool DecodeStoreText(std::string_view bytes, std::string& text, RegistryEncoding& encoding, std::string& error) {
    if (bytes.substr(0, Utf16LeBom.size()) != Utf16LeBom) {
        const bool bom = bytes.substr(0, Utf8Bom.size()) == Utf8Bom;
        encoding = bom ? RegistryEncoding::Utf8WithBom : RegistryEncoding::Utf8;
        text = bytes.substr(bom ? Utf8Bom.size() : 0);
        return true;
    }
    encoding = RegistryEncoding::Utf16LeWithBom;
    const std::u16string units = Utf16FromLittleEndianBytes(bytes.substr(Utf16LeBom.size()));
    const std::size_t bad = FirstUnpairedSurrogate(units);
    if (bad != std::u16string::npos || bytes.size() % 2 != 0) {
        const std::size_t end = std::min(bad, units.size());
        const auto lineIndex = static_cast<std::size_t>(std::count(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(end), u'\n'));
        error = LineError(lineIndex, bad != std::u16string::npos ? "not UTF-16 text: a surrogate without its pair"
                                                                 : "not UTF-16 text: the file ends in half a character");
        return false;
    }
    text = Utf8FromUtf16(units);
    return true;
}

// The bytes of a store's text in `encoding`.
std::string EncodeStoreText(const std::string& text, RegistryEncoding encoding) {
    switch (encoding) {
    case RegistryEncoding::Utf8: return text;
    case RegistryEncoding::Utf8WithBom: return std::string(Utf8Bom) + text;
    case RegistryEncoding::Utf16LeWithBom: break;
    }
    return std::string(Utf16LeBom) + Utf16LittleEndianBytes(Utf16FromUtf8Lossy(text));
}

// Reads the whole store file into `text`; a missing file is an empty store
// (`exists` false). Fails when it cannot be read or is not a regular file.
RegistryStatus ReadStoreText(const std::string& path, std::string& text, bool& exists) {
    text.clear();
    exists = false;
    File file;
    if (!file.OpenExactForReading(path)) {
        if (file.LastOsError() == ENOENT) return {};
        // Windows refuses to open a folder as a file at all.
        const PathKind kind = KindOfTarget(path);
        return kind == PathKind::File || kind == PathKind::Missing ? StoreIoFailure(file.LastOsError()) : NotAFile();
    }
    if (!file.IsRegularFile()) return NotAFile();
    exists = true;
    try {
        text = file.ReadToEnd();
    } catch (const FileError& error) {
        return StoreIoFailure(error.OsError());
    }
    return {};
}

enum class Replacement { Done, StoreChanged, Failed };

// Writes `text` over `path` through a crash-safe replacement, so the store is
// either all old or all new. The rename happens only while the store still
// holds `basis` (the text the change was made on; missing when `basisExists`
// is false): another program that saved it meanwhile knows nothing of the
// lock, and its save must not be written over. The store keeps its
// permissions; a new store is readable by its owner only. `failure` receives
// why it Failed.
Replacement ReplaceFile(const std::string& path, std::string_view text, const std::string& basis, bool basisExists,
                        RegistryStatus& failure) {
    FileReplacement replacement;
    const std::string name = NameOf(path);
    if (!replacement.Begin(path, name + ".", FileReplacement::NewFileAccess::OwnerOnly)) {
        failure = StoreIoFailure(replacement.LastOsError());
        return Replacement::Failed;
    }
    try {
        replacement.Output().Write(text.data(), text.size());
        replacement.Seal();
        std::string now;
        bool nowExists = false;
        if (failure = ReadStoreText(path, now, nowExists); !failure.Ok()) return Replacement::Failed;
        if (nowExists != basisExists || now != basis) return Replacement::StoreChanged;
        replacement.Commit();
    } catch (const FileError& error) {
        failure = StoreIoFailure(error.OsError());
        return Replacement::Failed;
    }
    return Replacement::Done;
}

// The file a change must replace: the target of a symbolic link rather than
// the link, so a linked store stays linked.
RegistryStatus ResolveStoreFile(const std::string& path, std::string& file) {
    std::error_code error;
    if (!std::filesystem::is_symlink(ToFsPath(path), error)) {
        file = path;
        return {};
    }
    file = FromFsPath(std::filesystem::canonical(ToFsPath(path), error));
    return error ? StoreIoFailure(ErrnoOf(error)) : RegistryStatus{};
}

}  // namespace

std::string RegistryValue::Format(bool version5) const {
    std::string line = name.empty() ? "@=" : Quote(name) + "=";
    const bool oneLineText = type == TextType && !data.empty() && data.find('\0') == data.size() - 1 &&
                             data.find_first_of("\r\n") == std::string::npos;
    if (oneLineText) return line + Quote(std::string_view(data).substr(0, data.size() - 1));
    const bool wideText = version5 && (type == TextType || type == ExpandableTextType);
    const std::string bytes = wideText ? Utf16LittleEndianBytes(Utf16FromUtf8Lossy(data)) : data;
    if (type == NumberType && data.size() == 4) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", BytesNumber(data));
        return line + "dword:" + digits;
    }
    char prefix[16];
    if (type == BinaryType) {
        std::snprintf(prefix, sizeof prefix, "hex:");
    } else {
        std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    }
    line += prefix;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char byte[3];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(bytes[i]));
        line += byte;
        if (i + 1 == bytes.size()) break;
        line += ',';
        if (line.size() - lineStart > HexLineWidth) {
            line += "\\\n  ";
            lineStart = line.size() - 2;
        }
    }
    return line;
}

bool RegistryDocument::IsVersion5() const {
    return m_header == Version5Header;
}

bool RegistryDocument::Parse(std::string_view bytes, RegistryDocument& document, std::string& error) {
    document = RegistryDocument();
    std::string text;
    if (!DecodeStoreText(bytes, text, document.m_encoding, error)) return false;
    bool crlf = false;
    const std::vector<std::string_view> lines = SplitLines(text, crlf);
    if (crlf) document.m_lineEnd = "\r\n";

    std::size_t index = 0;
    while (index < lines.size() && TrimLeft(TrimRight(lines[index])).empty()) ++index;
    if (index == lines.size()) return true;
    const std::string_view header = TrimRight(lines[index]);
    if (header != Header && header != Version5Header) {
        error = LineError(index, "the store does not begin with REGEDIT4 or " + std::string(Version5Header));
        return false;
    }
    document.m_header = header;
    const bool version5 = document.IsVersion5();

    RegistryKeySection* section = nullptr;
    for (++index; index < lines.size(); ++index) {
        const std::string_view line = TrimLeft(TrimRight(lines[index]));
        if (line.empty()) continue;
        if (line.front() == ';') {
            RegistryValue comment;
            comment.isComment = true;
            comment.rawText = lines[index];
            if (section) {
                section->values.push_back(std::move(comment));
            } else {
                document.m_preamble.emplace_back(lines[index]);
            }
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
                error = LineError(index, "a key line must be [path]; key deletions are not kept in a store");
                return false;
            }
            const std::string_view path = line.substr(1, line.size() - 2);
            // A key listed twice is one key, as an import would make it.
            section = document.FindSection(path);
            if (!section) section = &document.m_keys.emplace_back(RegistryKeySection{std::string(path), {}});
            continue;
        }
        if (line.front() != '"' && line.front() != '@') {
            error = LineError(index, "not a key, a value or a comment");
            return false;
        }
        if (!section) {
            error = LineError(index, "a value before the first key");
            return false;
        }
        const std::size_t first = index;
        std::string raw;
        const std::string joined = JoinContinuedLines(lines, index, raw);
        RegistryValue value;
        if (!ParseValueLine(joined, version5, value)) {
            error = LineError(first, "a value line this store cannot read");
            return false;
        }
        value.rawText = std::move(raw);
        PutParsedValue(*section, std::move(value));
    }
    return true;
}

std::string RegistryDocument::Serialize() const {
    std::string text = m_header;
    text += m_lineEnd;
    auto appendLines = [&](std::string_view lines) {
        for (char c : lines) {
            if (c == '\n') {
                text += m_lineEnd;
            } else {
                text += c;
            }
        }
        text += m_lineEnd;
    };
    for (const std::string& comment : m_preamble) appendLines(comment);
    for (const RegistryKeySection& key : m_keys) {
        text += m_lineEnd;
        appendLines("[" + key.path + "]");
        for (const RegistryValue& value : key.values) {
            appendLines(value.rawText.empty() ? value.Format(IsVersion5()) : value.rawText);
        }
    }
    return EncodeStoreText(text, m_encoding);
}

RegistryKeySection* RegistryDocument::FindSection(std::string_view path) {
    for (RegistryKeySection& key : m_keys) {
        if (EqualsIgnoringCase(key.path, path)) return &key;
    }
    return nullptr;
}

const RegistryKeySection* RegistryDocument::FindSection(std::string_view path) const {
    return const_cast<RegistryDocument*>(this)->FindSection(path);
}

bool RegistryDocument::HasKey(std::string_view path) const {
    return std::any_of(m_keys.begin(), m_keys.end(),
                       [&](const RegistryKeySection& key) { return IsSameOrAncestorPath(path, key.path); });
}

const RegistryValue* RegistryDocument::FindValue(std::string_view path, std::string_view name) const {
    const RegistryKeySection* section = FindSection(path);
    if (!section) return nullptr;
    for (const RegistryValue& value : section->values) {
        if (!value.isComment && EqualsIgnoringCase(value.name, name)) return &value;
    }
    return nullptr;
}

bool RegistryDocument::SetValue(std::string_view path, std::string_view name, std::uint32_t type, std::string data) {
    RegistryKeySection* section = FindSection(path);
    if (!section) {
        if (!HasKey(path)) return false;
        auto firstSubKey = std::find_if(m_keys.begin(), m_keys.end(), [&](const RegistryKeySection& key) {
            return IsSameOrAncestorPath(path, key.path);
        });
        section = &*m_keys.insert(firstSubKey, RegistryKeySection{std::string(path), {}});
    }
    for (RegistryValue& value : section->values) {
        if (!value.isComment && EqualsIgnoringCase(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            value.rawText.clear();
            return true;
        }
    }
    RegistryValue value;
    value.name = std::string(name);
    value.type = type;
    value.data = std::move(data);
    section->values.push_back(std::move(value));
    return true;
}

RegistryStatus RegistryStore::Read(RegistryDocument& document) const {
    document = RegistryDocument();
    if (m_path.empty()) return NoPlace();
    std::string text;
    bool exists = false;
    if (RegistryStatus read = ReadStoreText(m_path, text, exists); !read.Ok()) return read;
    std::string error;
    return RegistryDocument::Parse(text, document, error) ? RegistryStatus{} : Damaged(std::move(error));
}

RegistryStatus RegistryStore::Update(const std::function<bool(RegistryDocument&)>& change) {
    if (m_path.empty()) return NoPlace();
    std::string file;
    if (RegistryStatus resolved = ResolveStoreFile(m_path, file); !resolved.Ok()) return resolved;
    std::error_code error;
    const std::filesystem::path folder = ToFsPath(file).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) return StoreIoFailure(ErrnoOf(error));

    // The store itself is replaced by each change, so the lock lives in a file
    // of its own that is never replaced.
    // Closing the lock file when it goes releases the lock.
    File lock;
    if (!lock.OpenAndLockExclusively(file + ".lock")) return StoreIoFailure(lock.LastOsError());

    // A program that saves the store meanwhile does not take the lock; when
    // it did, the change is made again on what it saved. A store that keeps
    // changing under every attempt is left to that program.
    constexpr int Attempts = 10;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        std::string text;
        bool exists = false;
        if (RegistryStatus read = ReadStoreText(file, text, exists); !read.Ok()) return read;
        RegistryDocument document;
        std::string parseError;
        if (!RegistryDocument::Parse(text, document, parseError)) return Damaged(std::move(parseError));
        if (!change(document)) return {};
        RegistryStatus failure;
        switch (ReplaceFile(file, document.Serialize(), text, exists, failure)) {
            case Replacement::Done: return {};
            case Replacement::Failed: return failure;
            case Replacement::StoreChanged: break;
        }
    }
    return StoreIoFailure(0);
}

}  // namespace moxtrel::platform
