#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "platform/StoreRegistry.h"
#include "support/TempDir.h"
#include "support/TextFile.h"

namespace moxtrel::platform {
namespace {

namespace fs = std::filesystem;
using test::WriteText;
using test::ReadText;
using test::ScopedEnv;
using test::TempDir;

RegistryDocument ParseOrFail(const std::string& text) {
    RegistryDocument document;
    std::string error;
    EXPECT_TRUE(RegistryDocument::Parse(text, document, error)) << error;
    return document;
}

std::string TextOf(const RegistryValue* value) {
    if (!value || value->type != RegistryType::Text || value->data.empty()) return "<no text>";
    return value->data.substr(0, value->data.size() - 1);
}

// A store written by another program: comments, an upper-case number, a
// default value, wrapped hex data and an expandable string.
const std::string ForeignStore =
    "REGEDIT4\n"
    "; kept by hand\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\n"
    "@=\"default\"\n"
    "\"Count\"=dword:0000000A\n"
    "; a note inside a key\n"
    "\"Blob\"=hex:01,02,03,\\\n"
    "  04,05\n"
    "\"Env\"=hex(2):25,00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0]\n"
    "\"name\"=\"Other.wad\"\n"
    "\"path\"=\"C:\\\\Games\\\\\\\"Odd\\\"\\\\Other.wad\"\n";

TEST(RegistryDocument, ReadsTextNumbersHexAndEscapes) {
    const RegistryDocument document = ParseOrFail(ForeignStore);
    const std::string other = "HKEY_CURRENT_USER\\Software\\Other";
    const std::string slot = "HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0";
    EXPECT_EQ(TextOf(document.FindValue(other, "")), "default");
    ASSERT_NE(document.FindValue(other, "count"), nullptr);  // names ignore case
    EXPECT_EQ(document.FindValue(other, "Count")->data, std::string("\x0a\0\0\0", 4));
    EXPECT_EQ(document.FindValue(other, "Blob")->data, "\x01\x02\x03\x04\x05");
    EXPECT_EQ(document.FindValue(other, "Env")->type, 2u);
    EXPECT_EQ(TextOf(document.FindValue(slot, "path")), "C:\\Games\\\"Odd\"\\Other.wad");
    EXPECT_EQ(document.FindValue(slot, "type"), nullptr);
}

TEST(RegistryDocument, RewritesUntouchedLinesAsTheyWereRead) {
    RegistryDocument document = ParseOrFail(ForeignStore);
    EXPECT_EQ(document.Serialize(), ForeignStore);

    ASSERT_TRUE(document.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\other", "count", RegistryType::Number,
                                  std::string("\x0b\0\0\0", 4)));
    std::string expected = ForeignStore;
    // The value keeps its place and the spelling of its name; nothing else moves.
    expected.replace(expected.find("dword:0000000A"), 14, "dword:0000000b");
    EXPECT_EQ(document.Serialize(), expected);
}

TEST(RegistryDocument, KeepsWindowsLineEndings) {
    const std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n";
    RegistryDocument document = ParseOrFail(text);
    EXPECT_EQ(document.Serialize(), text);
    document.SetValue("HKEY_CURRENT_USER\\A", "y", RegistryType::Text, std::string("2\0", 2));
    EXPECT_EQ(document.Serialize(), text + "\"y\"=\"2\"\r\n");
}

TEST(RegistryDocument, NewValuesReadBackAsTheyWereSet) {
    RegistryDocument document = ParseOrFail("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n");
    const std::string quoted = std::string("a\\b\"c\0", 6);
    const std::string twoLines = std::string("one\ntwo\0", 8);
    const std::string longBinary(100, '\x7f');
    document.SetValue("HKEY_CURRENT_USER\\A", "quoted", RegistryType::Text, quoted);
    document.SetValue("HKEY_CURRENT_USER\\A", "twoLines", RegistryType::Text, twoLines);
    document.SetValue("HKEY_CURRENT_USER\\A", "long", RegistryType::Binary, longBinary);
    document.SetValue("HKEY_CURRENT_USER\\A", "", RegistryType::Number, std::string("\x01\x02\x03\x04", 4));

    const std::string text = document.Serialize();
    EXPECT_NE(text.find("\"quoted\"=\"a\\\\b\\\"c\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("@=dword:04030201\n"), std::string::npos) << text;
    // Text that would break the line format is kept as typed hex bytes.
    EXPECT_NE(text.find("\"twoLines\"=hex(1):6f,6e,65,0a,74,77,6f,00\n"), std::string::npos) << text;

    const RegistryDocument reread = ParseOrFail(text);
    EXPECT_EQ(reread.FindValue("HKEY_CURRENT_USER\\A", "quoted")->data, quoted);
    EXPECT_EQ(reread.FindValue("HKEY_CURRENT_USER\\A", "twoLines")->data, twoLines);
    EXPECT_EQ(reread.FindValue("HKEY_CURRENT_USER\\A", "twoLines")->type, RegistryType::Text);
    EXPECT_EQ(reread.FindValue("HKEY_CURRENT_USER\\A", "long")->data, longBinary);
    EXPECT_EQ(reread.Serialize(), text);
}

TEST(RegistryDocument, RefusesTextItCouldNotRewriteSafely) {
    const char* const bad[] = {
        "[HKEY_CURRENT_USER\\A]\n",                                // no header
        "REGEDIT4\n\"x\"=\"1\"\n",                                 // value before any key
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\nx=1\n",                  // not a value line
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n",  // nine digits
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"open\n",           // unterminated text
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:1,zz\n",
        "REGEDIT4\n[-HKEY_CURRENT_USER\\A]\n",                     // a key deletion
        "REGEDIT4\n[HKEY_CURRENT_USER\\A\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=-\n",             // a value deletion
    };
    for (const char* text : bad) {
        RegistryDocument document;
        std::string error;
        EXPECT_FALSE(RegistryDocument::Parse(text, document, error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

// UTF-8 text as the UTF-16LE bytes a registry editor export holds, with its
// byte-order mark; enough of UTF-8 for the tests' text (up to U+07FF).
std::string Utf16Export(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned unit = static_cast<unsigned char>(utf8[i]);
        if (unit >= 0xC0) unit = ((unit & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

const std::string Version5Header = "Windows Registry Editor Version 5.00";

TEST(RegistryDocument, EveryFormIsWrittenBackInTheFormItWasRead) {
    enum class Bytes { Utf8, Utf8Bom, Utf16 };
    const struct {
        std::string header;
        Bytes bytes;
        RegistryEncoding encoding;
    } forms[] = {
        {"REGEDIT4", Bytes::Utf8, RegistryEncoding::Utf8},
        {"REGEDIT4", Bytes::Utf8Bom, RegistryEncoding::Utf8WithBom},
        {"REGEDIT4", Bytes::Utf16, RegistryEncoding::Utf16LeWithBom},
        {Version5Header, Bytes::Utf8, RegistryEncoding::Utf8},
        {Version5Header, Bytes::Utf8Bom, RegistryEncoding::Utf8WithBom},
        {Version5Header, Bytes::Utf16, RegistryEncoding::Utf16LeWithBom},
    };
    const std::string slot = "HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0";
    for (const auto& form : forms) {
        for (const std::string lineEnd : {"\n", "\r\n"}) {
            auto encode = [&](const std::string& text) {
                if (form.bytes == Bytes::Utf16) return Utf16Export(text);
                return (form.bytes == Bytes::Utf8Bom ? "\xEF\xBB\xBF" : "") + text;
            };
            const std::string text = form.header + lineEnd + lineEnd + "[" + slot + "]" + lineEnd +
                                     "\"name\"=\"Ville \xC3\xA9t\xC3\xA9.wad\"" + lineEnd;
            SCOPED_TRACE(form.header + " " + std::to_string(static_cast<int>(form.bytes)) + (lineEnd == "\n" ? " LF" : " CRLF"));
            RegistryDocument document = ParseOrFail(encode(text));
            EXPECT_EQ(document.Encoding(), form.encoding);
            EXPECT_EQ(TextOf(document.FindValue(slot, "name")), "Ville \xC3\xA9t\xC3\xA9.wad");
            EXPECT_EQ(document.Serialize(), encode(text));

            document.SetValue(slot, "path", RegistryType::Text, "C:\\\xC3\xA9\\Quake.wad" + std::string(1, '\0'));
            EXPECT_EQ(document.Serialize(), encode(text + "\"path\"=\"C:\\\\\xC3\xA9\\\\Quake.wad\"" + lineEnd));
        }
    }
}

TEST(RegistryDocument, TextInHexIsUtf16InAVersion5StoreOnly) {
    const std::string key = "HKEY_CURRENT_USER\\A";
    const std::string values = "\n\n[" + key + "]\n\"env\"=hex(2):25,00,e9,00,00,00\n";
    EXPECT_EQ(ParseOrFail(Version5Header + values).FindValue(key, "env")->data, std::string("%\xC3\xA9\0", 4));
    EXPECT_EQ(ParseOrFail("REGEDIT4" + values).FindValue(key, "env")->data, std::string("%\0\xE9\0\0\0", 6));

    // Text that needs hex goes in as the registry editor would read it back.
    RegistryDocument document = ParseOrFail(Version5Header + values);
    document.SetValue(key, "lines", RegistryType::Text, std::string("a\n\xC3\xA9\0", 5));
    EXPECT_NE(document.Serialize().find("\"lines\"=hex(1):61,00,0a,00,e9,00,00,00\n"), std::string::npos);
}

TEST(RegistryDocument, RefusesUtf16ThatIsNotText) {
    const std::string header = Utf16Export("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n");
    const std::string loneSurrogate = header + Utf16Export("\"x\"=\"").substr(2) + std::string("\x00\xD8", 2);
    for (const std::string& bytes : {loneSurrogate, header + "\"", }) {
        RegistryDocument document;
        std::string error;
        EXPECT_FALSE(RegistryDocument::Parse(bytes, document, error));
        EXPECT_EQ(error.substr(0, 7), "line 4:") << error;
    }
}

TEST(RegistryDocument, KeysExistWhenListedOrAboveAListedKey) {
    RegistryDocument document = ParseOrFail(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zeta]\n\n[HKEY_CURRENT_USER\\Software\\Orvek\\Gantry]\n");
    EXPECT_TRUE(document.HasKey("hkey_current_user\\software\\orvek\\gantry"));
    EXPECT_TRUE(document.HasKey("HKEY_CURRENT_USER\\Software\\Orvek"));
    EXPECT_FALSE(document.HasKey("HKEY_CURRENT_USER\\Software\\Orv"));
    EXPECT_FALSE(document.HasKey("HKEY_CURRENT_USER\\Software\\Orvek\\Gantry\\Settings"));

    EXPECT_FALSE(document.SetValue("HKEY_CURRENT_USER\\Software\\Missing", "x", RegistryType::Binary, ""));
    ASSERT_TRUE(document.SetValue("HKEY_CURRENT_USER\\Software\\Orvek", "x", RegistryType::Binary, ""));
    EXPECT_EQ(document.Serialize(),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zeta]\n\n[HKEY_CURRENT_USER\\Software\\Orvek]\n"
              "\"x\"=hex:\n\n[HKEY_CURRENT_USER\\Software\\Orvek\\Gantry]\n");
}

// The store through the registry calls, in a file of a test's own.
class RegistryStoreFile : public ::testing::Test {
protected:
    TempDir dir;
    fs::path store = dir / "registry.reg";
    StoreRegistry registry{store.string()};

    RegistryHandle OpenOrFail(const std::string& subKey) {
        RegistryHandle key = 0;
        EXPECT_EQ(registry.OpenKey(RegistryCurrentUser, subKey, key).result, RegistryResult::Success) << subKey;
        return key;
    }
    std::int32_t SetText(RegistryHandle key, const std::string& name, const std::string& text,
                         Registry* in = nullptr) {
        return (in ? *in : registry)
            .SetValue(key, name, RegistryType::Text, text.c_str(), static_cast<std::uint32_t>(text.size() + 1))
            .result;
    }
};

TEST_F(RegistryStoreFile, MissingStoreIsEmptyAndOpeningCreatesNothing) {
    RegistryHandle key = 7;
    EXPECT_EQ(registry.OpenKey(RegistryCurrentUser, "Software\\Orvek", key).result, RegistryResult::NotFound);
    EXPECT_EQ(key, 0u);
    std::uint32_t type = 9;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(RegistryCurrentUser, "x", type, nullptr, size).result, RegistryResult::NotFound);
    EXPECT_FALSE(fs::exists(store));

    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n");
    const std::string before = ReadText(store);
    EXPECT_EQ(registry.OpenKey(RegistryCurrentUser, "Software\\Orvek", key).result, RegistryResult::NotFound);
    EXPECT_EQ(ReadText(store), before);
}

TEST_F(RegistryStoreFile, SetChangesOneValueAndKeepsEveryOtherKeyInOrder) {
    WriteText(store, ForeignStore);
    const RegistryHandle slot = OpenOrFail("software\\orvek\\lathmore\\gantry\\settings\\TXPACK0");
    ASSERT_EQ(SetText(slot, "name", "Quake.wad"), RegistryResult::Success);
    EXPECT_EQ(registry.CloseKey(slot).result, RegistryResult::Success);
    EXPECT_EQ(registry.CloseKey(slot).result, RegistryResult::InvalidHandle);

    std::string expected = ForeignStore;
    expected.replace(expected.find("Other.wad\""), 10, "Quake.wad\"");
    EXPECT_EQ(ReadText(store), expected);
}

TEST_F(RegistryStoreFile, QueryReportsTypeAndSizeAndRefusesASmallBuffer) {
    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"text\"=\"abcd\"\n\"number\"=dword:00000102\n");
    const RegistryHandle key = OpenOrFail("K");
    char buffer[8] = "zzzzzzz";
    std::uint32_t type = 0;
    std::uint32_t size = 4;
    EXPECT_EQ(registry.QueryValue(key, "text", type, buffer, size).result, RegistryResult::MoreData);
    EXPECT_EQ(type, RegistryType::Text);
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(buffer, "zzzzzzz");

    size = 5;
    EXPECT_EQ(registry.QueryValue(key, "text", type, buffer, size).result, RegistryResult::Success);
    EXPECT_STREQ(buffer, "abcd");
    size = sizeof buffer;
    EXPECT_EQ(registry.QueryValue(key, "number", type, buffer, size).result, RegistryResult::Success);
    EXPECT_EQ(type, RegistryType::Number);
    EXPECT_EQ(std::string(buffer, size), std::string("\x02\x01\0\0", 4));
    size = sizeof buffer;
    EXPECT_EQ(registry.QueryValue(key, "none", type, buffer, size).result, RegistryResult::NotFound);
    EXPECT_EQ(type, RegistryType::None);
    EXPECT_EQ(size, 0u);
    registry.CloseKey(key);
}

TEST_F(RegistryStoreFile, UnparseableStoreIsNeverWritten) {
    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n");
    const RegistryHandle key = OpenOrFail("K");
    const std::string garbage = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"half-written\n";
    WriteText(store, garbage);

    EXPECT_EQ(SetText(key, "a", "b"), RegistryResult::StoreCorrupt);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(key, "a", type, nullptr, size).result, RegistryResult::StoreCorrupt);
    RegistryHandle other = 0;
    EXPECT_EQ(registry.OpenKey(RegistryCurrentUser, "K", other).result, RegistryResult::StoreCorrupt);
    EXPECT_EQ(ReadText(store), garbage);
    registry.CloseKey(key);
}

TEST_F(RegistryStoreFile, AKeyRemovedAfterOpeningIsNotBroughtBack) {
    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n");
    const RegistryHandle key = OpenOrFail("K");
    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\L]\n");
    EXPECT_EQ(SetText(key, "a", "b"), RegistryResult::KeyDeleted);
    EXPECT_EQ(ReadText(store), "REGEDIT4\n\n[HKEY_CURRENT_USER\\L]\n");
    registry.CloseKey(key);
}

TEST_F(RegistryStoreFile, FailedWriteReportsAnErrorAndLeavesNoTemporaryFile) {
    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n");
    const RegistryHandle key = OpenOrFail("K");
    // Folder and store replaced by a plain file: nothing can be written beneath it.
    const fs::path blocked = dir / "blocked";
    WriteText(blocked, "not a folder");
    {
        StoreRegistry elsewhere((blocked / "registry.reg").string());
        EXPECT_EQ(SetText(RegistryCurrentUser, "a", "b", &elsewhere), RegistryResult::StoreIoFailed);
        RegistryHandle other = 0;
#ifdef _WIN32
        // Windows says "path not found" for a path through a file as for a
        // missing folder: a store that cannot be there reads as missing.
        EXPECT_EQ(elsewhere.OpenKey(RegistryCurrentUser, "K", other).result, RegistryResult::NotFound);
#else
        EXPECT_EQ(elsewhere.OpenKey(RegistryCurrentUser, "K", other).result, RegistryResult::StoreIoFailed);
#endif
    }
    // The registry of the first store is untouched by that.
    EXPECT_EQ(SetText(key, "a", "b"), RegistryResult::Success);
    registry.CloseKey(key);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3u);  // the store, its lock and the blocking file
}

TEST_F(RegistryStoreFile, FailuresSayWhatFailedWithTheParsersLineOrTheSystemsError) {
    RegistryHandle key = 0;
    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"half-written\n");
    const RegistryStatus damaged = registry.OpenKey(RegistryCurrentUser, "K", key);
    EXPECT_EQ(damaged.result, RegistryResult::StoreCorrupt);
    EXPECT_EQ(damaged.failure, RegistryFailure::StoreDamaged);
    EXPECT_EQ(damaged.detail.rfind("line 4: ", 0), 0u) << damaged.detail;

    fs::remove(store);
    fs::create_directory(store);
    EXPECT_EQ(registry.OpenKey(RegistryCurrentUser, "K", key).failure, RegistryFailure::StoreNotAFile);

    fs::remove(store);
    WriteText(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n");
    fs::create_directory(dir / "registry.reg.lock");
    ASSERT_TRUE(registry.OpenKey(RegistryCurrentUser, "K", key).Ok());
    const RegistryStatus unwritable = registry.SetValue(key, "a", RegistryType::Binary, "", 0);
    EXPECT_EQ(unwritable.result, RegistryResult::StoreIoFailed);
    EXPECT_EQ(unwritable.failure, RegistryFailure::StoreIo);
    EXPECT_EQ(unwritable.osError, EISDIR);
    registry.CloseKey(key);

    StoreRegistry nowhere{""};
    EXPECT_EQ(nowhere.OpenKey(RegistryCurrentUser, "K", key).failure, RegistryFailure::NoStorePlace);
}

TEST_F(RegistryStoreFile, StoreKeepsItsPermissionsAndStaysALinkWhenLinked) {
    if (!test::CanMakeSymbolicLinks) GTEST_SKIP() << test::NoSymbolicLinks;
    const fs::path real = dir / "real.reg";
    WriteText(real, "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n");
    fs::permissions(real, fs::perms(0644));
    fs::create_symlink(real, store);
    const RegistryHandle key = OpenOrFail("K");
    ASSERT_EQ(SetText(key, "a", "b"), RegistryResult::Success);
    registry.CloseKey(key);
    EXPECT_TRUE(fs::is_symlink(store));
    EXPECT_EQ(ReadText(real), "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"b\"\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(0644));
}

TEST_F(RegistryStoreFile, AVersion5Utf16ExportTakesARegistrationAndStaysOne) {
    const std::string slotKey = "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0";
    const std::string before = Version5Header + "\r\n\r\n[HKEY_CURRENT_USER\\" + slotKey + "]\r\n";
    WriteText(store, Utf16Export(before));
    const RegistryHandle slot = OpenOrFail(slotKey);
    const std::uint32_t one = 1;
    ASSERT_EQ(registry.SetValue(slot, "type", RegistryType::Number, &one, 4).result, RegistryResult::Success);
    ASSERT_EQ(SetText(slot, "path", "/games/\xC3\xA9t\xC3\xA9/id1/Quake.wad"), RegistryResult::Success);
    registry.CloseKey(slot);
    EXPECT_EQ(ReadText(store), Utf16Export(before + "\"type\"=dword:00000001\r\n" +
                                           "\"path\"=\"/games/\xC3\xA9t\xC3\xA9/id1/Quake.wad\"\r\n"));
}

TEST(Environment, NamesTheDriveMapAndTheRegistryStoreAsTheVariablesSay) {
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv store("MOXTREL_REGISTRY", "/tmp/chosen.reg");
        ScopedEnv drives(DriveMapVariable, "/tmp/drives.map");
        EXPECT_EQ(Environment::FromProcess().registryStorePath, "/tmp/chosen.reg");
        EXPECT_EQ(Environment::FromProcess().driveMapPath, "/tmp/drives.map");
    }
    ScopedEnv noStore("MOXTREL_REGISTRY", "");
    EXPECT_EQ(Environment::FromProcess().registryStorePath, "") << "no store file named: one is chosen";
#ifndef _WIN32
    ScopedEnv config("XDG_CONFIG_HOME", "/srv/config");
    ScopedEnv prefix("WINEPREFIX", "/srv/prefix");
    const Environment environment = Environment::FromProcess();
    EXPECT_EQ(environment.homeFolder, "/home/someone");
    EXPECT_EQ(environment.configHome, "/srv/config");
    EXPECT_EQ(environment.winePrefix, "/srv/prefix");
#endif
}

}  // namespace
}  // namespace moxtrel::platform
