#pragma once
// The registry store: the current user's registry kept as a text file in the
// registry editor's REGEDIT4 format, so people can read it and it can be
// imported elsewhere. Other programs keep their settings in the same file, so
// a change touches only the value it sets and writes every other key, value
// and comment back as it was read. A store made from the registry editor's
// version-5 export ("Windows Registry Editor Version 5.00", UTF-16LE) is read
// too, and written back in the form it had: its header line, its encoding
// (UTF-16LE with a byte-order mark, or UTF-8 with or without one) and its line
// ends.
//
// Reads take no lock: the file is only ever replaced whole by a rename, so a
// reader sees either the old or the new store. Every change is a read-modify-
// write under an exclusive lock on "<store>.lock", written to a temporary file
// beside the store, forced to disk and renamed over it. A store that cannot be
// parsed is never written. Nothing here throws on bad files or I/O failure;
// results say what went wrong: StoreCorrupt with the parser's reason, or
// StoreIoFailed with the part that failed and the system's error.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStatus.h"

namespace moxtrel::platform {

// One line (or, for wrapped hex data, several lines) of a key's section.
struct RegistryValue {
    std::string name;          // empty for the key's default value ("@")
    std::uint32_t type = 0;    // 1 text, 3 binary, 4 number, or the N of hex(N)
    std::string data;          // the bytes as a program reads them: text with its NUL, numbers little-endian
    std::string rawText;       // the lines as read (joined by '\n'); written back unchanged while set
    bool isComment = false;    // a ';' line kept in place; has no name or data

    // Formats the value as a REGEDIT4 line: quoted text when the data is one
    // line of text ending in its only NUL, dword: for 4-byte numbers, hex
    // bytes for anything else. In a version-5 store the hex bytes of text
    // (types 1 and 2) are its UTF-16LE units, as the registry editor reads them.
    std::string Format(bool version5 = false) const;
};

// How the bytes of a store file hold its text.
enum class RegistryEncoding {
    Utf8,              // or the system's ANSI bytes, as REGEDIT4 files are
    Utf8WithBom,
    Utf16LeWithBom,    // the registry editor's own export
};

struct RegistryKeySection {
    std::string path;  // as spelled in the file, e.g. HKEY_CURRENT_USER\Software\...
    std::vector<RegistryValue> values;
};

// A parsed store. Key paths and value names are matched without regard to
// ASCII case, as the registry does, and keep the spelling they were written in.
class RegistryDocument {
public:
    // Parses the bytes of a store file: REGEDIT4 or version-5 text in any of
    // the encodings above. Returns false, with the line number and reason in
    // `error`, when the text is not a store this program can safely rewrite.
    // Empty text (or only blank lines) is an empty REGEDIT4 store.
    static bool Parse(std::string_view bytes, RegistryDocument& document, std::string& error);
    // The store's bytes, in the form it was read in. In a UTF-16 store, bytes
    // of a text value that are not UTF-8 are written as U+FFFD.
    std::string Serialize() const;

    RegistryEncoding Encoding() const { return m_encoding; }
    // Whether the first line is the version-5 header rather than REGEDIT4.
    bool IsVersion5() const;

    // A key exists when the file lists it or lists a key beneath it (a key
    // cannot exist without its parent).
    bool HasKey(std::string_view path) const;
    // The value named `name` of key `path`, or null.
    const RegistryValue* FindValue(std::string_view path, std::string_view name) const;
    // Sets a value in place when the key holds it, else appends it to the
    // key's section. A key that exists only as a parent gets a section of its
    // own, placed before its first sub-key. Returns false when the key does
    // not exist: setting a value never creates a key.
    bool SetValue(std::string_view path, std::string_view name, std::uint32_t type, std::string data);

    const std::vector<RegistryKeySection>& Keys() const { return m_keys; }

private:
    RegistryKeySection* FindSection(std::string_view path);
    const RegistryKeySection* FindSection(std::string_view path) const;

    std::vector<std::string> m_preamble;  // comments before the first key
    std::vector<RegistryKeySection> m_keys;
    std::string m_lineEnd = "\n";         // "\r\n" when the file was written so
    std::string m_header = "REGEDIT4";    // the first line, as read
    RegistryEncoding m_encoding = RegistryEncoding::Utf8;
};


class RegistryStore {
public:
    explicit RegistryStore(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }

    // Reads the store as it is now. A missing file is an empty store.
    RegistryStatus Read(RegistryDocument& document) const;

    // Locks the store, reads it, lets `change` edit it, and writes it back
    // when `change` returns true. Nothing is written when the store cannot be
    // read or parsed, or when `change` returns false. When another program
    // (which does not take the lock) saved the store after it was read, the
    // new store is read and `change` called on it again.
    RegistryStatus Update(const std::function<bool(RegistryDocument&)>& change);

private:
    std::string m_path;
};

}  // namespace moxtrel::platform
