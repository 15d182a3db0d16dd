#pragma once
// A Wine prefix's registry file, user.reg, in the form the wineserver writes
// it: a "WINE REGISTRY Version 2" first line, keys relative to the current
// user as "[Software\\Orvek\\...] 1700000000" followed by "#time=<hex>", and
// values as "name"="text", str(2):"text", dword:0000000a and hex:/hex(N):
// bytes, text escaped with \\, \", \n, \xNNNN and the like.
//
// Other programs keep their settings in the same file, so an edit changes the
// lines of the values it sets and the edited key's timestamp (as the server
// stamps a key it changes) and keeps every other byte as it was. A file that
// is not in this form, or is cut short, is damaged: it is never rewritten.
// Keys and value names are matched without regard to ASCII case, as Wine does.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wine/WineResult.h"

namespace moxtrel::platform::wine {

// 100-nanosecond ticks since 1601, the time the server stamps keys with.
using WineTime = std::uint64_t;
WineTime WineTimeNow();

class WineRegistryFile {
public:
    // Reads the bytes of a user.reg; RegistryDamaged with the line and what
    // is wrong there when they are not a registry file Wine wrote or could read.
    static WineResult Parse(std::string_view bytes, WineRegistryFile& file);
    // The file's bytes: as read, but for the edits made since.
    std::string Serialize() const;

    // `key` is a path below the current user, "Software\Orvek\..." (empty for
    // the user's root). A key exists when the file lists it or a key beneath it.
    bool HasKey(std::string_view key) const;
    // The keys the file lists, and the names of a key's values (empty for
    // the default value), as UTF-8.
    std::vector<std::string> KeyPaths() const;
    std::vector<std::string> ValueNames(std::string_view key) const;
    // Value `name` of `key` as a program reads it: text (types 1, 2 and 7
    // written as text) as UTF-8 with its NUL, a dword as 4 bytes little-endian,
    // anything else as its bytes.
    WineResult ReadValue(std::string_view key, std::string_view name, std::uint32_t& type, std::string& data) const;
    // Sets the values in the existing `key`, each in place when the key holds
    // it, else among the key's values in Wine's order, and stamps the key with
    // `now`. KeyNotFound when the key does not exist (nothing is created);
    // TextNotUnicode when a text is not UTF-8. `changed` is false when every
    // value already held what was asked, and then nothing is touched.
    WineResult SetValues(std::string_view key, const std::vector<WineValue>& values, WineTime now, bool& changed);

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\n", "\r\n", or "" for a last line without one
    };
    struct Value {
        std::u16string name;
        std::uint32_t type = 0;
        std::string data;  // as ReadValue gives it
        std::size_t firstLine = 0;
        std::size_t lineCount = 1;
    };
    struct Section {
        std::string path;  // unescaped, as UTF-8
        std::size_t keyLine = 0;
        std::size_t keyNameEnd = 0;   // where the key line's "]" ends
        std::size_t timeLine = 0;     // the "#time=" line; 0 when there is none
        std::size_t lastLine = 0;     // the last key, option or value line of the key
        std::vector<Value> values;
    };

    WineResult ParseLine(std::size_t index);
    WineResult ParseValue(std::size_t& index);
    const Section* FindSection(std::string_view key) const;
    static const Value* FindValue(const Section& section, std::u16string_view name);
    // The lines of `section` from its key line to its last line, with
    // `changes` made (each a value's new line, replacing or joining the
    // value of its name) and stamped with `now`.
    std::vector<Line> EditedSection(const Section& section, const std::vector<Value>& changes, WineTime now) const;
    void ReplaceLines(std::size_t first, std::size_t count, std::vector<Line> lines);

    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
};

// The user.reg of a prefix, read and changed directly, for when no
// wineserver runs for the prefix (the caller makes sure of that).
class WineUserRegistryFile {
public:
    explicit WineUserRegistryFile(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }

    // NoRegistryFile when there is no file, ReadFailed when it cannot be read,
    // RegistryDamaged when it cannot be parsed.
    WineResult Read(WineRegistryFile& file) const;
    // Sets values in an existing key through a crash-safe replacement that
    // keeps the file's permissions (a read-only file is refused). Nothing is
    // written when any value cannot be set, or when every value already holds
    // what was asked.
    WineResult SetValues(std::string_view key, const std::vector<WineValue>& values, WineTime now);

private:
    std::string m_path;
};

}  // namespace moxtrel::platform::wine
