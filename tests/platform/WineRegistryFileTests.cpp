#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/wine/WineRegistryFile.h"
#include "support/TempDir.h"
#include "support/TextFile.h"

namespace moxtrel::platform::wine {
namespace {

namespace fs = std::filesystem;
using test::WriteText;
using test::ReadText;

// 2026-12-08 01:15:43 and a little, as the server stamps a key.
constexpr WineTime Now = 0x1dd86b1a54d7bca;
const std::string NowLines = " 1796692543\n#time=1dd86b1a54d7bca\n";

const std::string Slot0 = "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0";
const std::string Slot1 = "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack1";

// A user.reg as the server writes one, with text in most of its escapes.
const std::string UserReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Orvek\\\\Lathmore\\\\Gantry\\\\Settings\\\\txpack0] 1700000000\n"
    "#time=1da1b2c3d4e5f60\n"
    "\"name\"=\"Other \\\"odd\\\" \\\\ pack\\n\\x00e9a\\xe9.wad\"\n"
    "\"type\"=dword:00000001\n"
    "\n"
    "[Software\\\\Orvek\\\\Lathmore\\\\Gantry\\\\Settings\\\\txpack1] 1700000001\n"
    "#time=1da1b2c3d4e5f61\n"
    "\"name\"=\"Quake.wad\"\n"
    "\"zeta\"=hex:01,02,\\\n"
    "  03\n"
    "\n"
    "[Software\\\\Other\\\\\\[x\\]] 1700000002\n"
    "#time=1da1b2c3d4e5f62\n"
    "@=\"default\"\n"
    "\"Env\"=str(2):\"%PATH%\"\n"
    "\"Multi\"=str(7):\"a\\0b\\0\"\n"
    "\"Odd\"=hex(b):01,00,00,00,00,00,00,00\n";

WineRegistryFile ParseOrFail(const std::string& bytes) {
    WineRegistryFile file;
    const WineResult result = WineRegistryFile::Parse(bytes, file);
    EXPECT_TRUE(result.Ok()) << DescribeFailure(result);
    return file;
}

std::string ValueOf(const WineRegistryFile& file, const std::string& key, const std::string& name,
                    std::uint32_t expectedType) {
    std::uint32_t type = 0;
    std::string data;
    const WineResult result = file.ReadValue(key, name, type, data);
    if (!result.Ok()) return DescribeFailure(result);
    EXPECT_EQ(type, expectedType) << name;
    return data;
}

TEST(WineRegistryFile, ReadsKeysValuesAndEscapesAsWineDoes) {
    const WineRegistryFile file = ParseOrFail(UserReg);
    EXPECT_EQ(ValueOf(file, Slot0, "NAME", 1), std::string("Other \"odd\" \\ pack\n\xC3\xA9" "a\xC3\xA9.wad\0", 29));
    EXPECT_EQ(ValueOf(file, Slot0, "type", 4), std::string("\1\0\0\0", 4));
    EXPECT_EQ(ValueOf(file, Slot1, "zeta", 3), "\x01\x02\x03");
    const std::string other = "software\\other\\[x]";
    EXPECT_EQ(ValueOf(file, other, "", 1), std::string("default\0", 8));
    EXPECT_EQ(ValueOf(file, other, "Env", 2), std::string("%PATH%\0", 7));
    EXPECT_EQ(ValueOf(file, other, "Multi", 7), std::string("a\0b\0\0", 5));
    EXPECT_EQ(ValueOf(file, other, "Odd", 11).size(), 8u);

    EXPECT_TRUE(file.HasKey("Software\\Orvek\\Lathmore\\Gantry\\Settings"));
    EXPECT_FALSE(file.HasKey("Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack2"));
    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(file.ReadValue(Slot1, "path", type, data).failure, WineFailure::ValueNotFound);
    EXPECT_EQ(file.ReadValue(Slot1 + "0", "name", type, data).failure, WineFailure::KeyNotFound);
}

TEST(WineRegistryFile, AnEditChangesTheValuesSetAndTheKeysTimestampOnly) {
    WineRegistryFile file = ParseOrFail(UserReg);
    bool changed = false;
    const std::vector<WineValue> values = {
        {"type", std::uint32_t{1}}, {"path", std::string("Z:\\jeux\\\xC3\xA9" "a.wad")}, {"name", std::string("Quake.wad")}};
    ASSERT_TRUE(file.SetValues(Slot1, values, Now, changed).Ok());
    EXPECT_TRUE(changed);
    std::string expected = UserReg;
    // The new values go among the old in the server's order; "name" held its text already.
    expected.replace(expected.find(" 1700000001\n#time=1da1b2c3d4e5f61\n"), 34, NowLines);
    expected.insert(expected.find("\"zeta\""), "\"path\"=\"Z:\\\\jeux\\\\\\x00e9a.wad\"\n\"type\"=dword:00000001\n");
    EXPECT_EQ(file.Serialize(), expected);

    // Setting what a key holds already touches nothing.
    ASSERT_TRUE(file.SetValues(Slot1, values, Now + 1, changed).Ok());
    EXPECT_FALSE(changed);
    EXPECT_EQ(file.Serialize(), expected);
}

TEST(WineRegistryFile, AKeyListedOnlyThroughItsSubkeysGetsLinesOfItsOwnAndNoKeyIsMade) {
    WineRegistryFile file = ParseOrFail(UserReg);
    bool changed = false;
    EXPECT_EQ(file.SetValues(Slot1 + "0", {{"type", std::uint32_t{1}}}, Now, changed).failure, WineFailure::KeyNotFound);
    EXPECT_EQ(file.Serialize(), UserReg);

    ASSERT_TRUE(file.SetValues("SOFTWARE\\orvek", {{"x", std::uint32_t{5}}}, Now, changed).Ok());
    std::string expected = UserReg;
    expected.insert(expected.find("[Software\\\\Orvek\\\\Lathmore"),
                    "[Software\\\\Orvek]" + NowLines + "\"x\"=dword:00000005\n\n");
    EXPECT_EQ(file.Serialize(), expected);
}

TEST(WineRegistryFile, RefusesWhatWineCouldNotReadOrWhatWasCutShort) {
    const std::string header = "WINE REGISTRY Version 2\n";
    const std::string key = "[Software\\\\A] 1\n";
    const struct {
        std::string text;
        std::size_t line;
    } damaged[] = {
        {"", 1},
        {"REGEDIT4\n" + key, 1},
        {header + "\"x\"=\"1\"\n", 2},
        {header + "#arch=win128\n", 2},
        {header + "[Software\\\\A\n", 2},
        {header + key + "\"x=\"1\"\n", 3},
        {header + key + "\"x\"=\"cut\n", 3},
        {header + key + "\"x\"=dword:123456789\n", 3},
        {header + key + "\"x\"=hex:01,\\\n", 3},
        {header + key + "\"x\"=hex:100\n", 3},
        {header + key + "\"x\"=text\n", 3},
        {header + key + "x\n", 3},
        {header + key + std::string("\"x\"=\"a\0b\"\n", 10), 3},
        {header + key + "\"x\"=\"\xC3\"\n", 3},
        {header + key + key, 3},
    };
    for (const auto& bad : damaged) {
        WineRegistryFile file;
        const WineResult result = WineRegistryFile::Parse(bad.text, file);
        EXPECT_EQ(result.failure, WineFailure::RegistryDamaged) << bad.text;
        EXPECT_EQ(result.line, bad.line) << bad.text;
        EXPECT_FALSE(result.detail.empty());
    }
}

TEST(WineUserRegistryFile, WritesThroughAReplacementAndNeverOverADamagedOrReadOnlyFile) {
    test::TempDir prefix;
    const fs::path userReg = prefix / "user.reg";
    WineUserRegistryFile registry(userReg.string());
    EXPECT_EQ(registry.SetValues(Slot0, {{"type", std::uint32_t{1}}}, Now).failure, WineFailure::NoRegistryFile);
    EXPECT_FALSE(fs::exists(userReg));

    const std::string cutShort = UserReg.substr(0, UserReg.find("\"Multi\"") + 12);
    WriteText(userReg, cutShort);
    const WineResult damaged = registry.SetValues(Slot0, {{"type", std::uint32_t{2}}}, Now);
    EXPECT_EQ(damaged.failure, WineFailure::RegistryDamaged);
    EXPECT_EQ(damaged.line, 21u);
    EXPECT_EQ(ReadText(userReg), cutShort);

    WriteText(userReg, UserReg);
    fs::permissions(userReg, fs::perms(0444));
    const WineResult readOnly = registry.SetValues(Slot0, {{"type", std::uint32_t{2}}}, Now);
    EXPECT_EQ(readOnly.failure, WineFailure::WriteFailed);
    EXPECT_EQ(readOnly.osError, EACCES);
    EXPECT_EQ(ReadText(userReg), UserReg);

    fs::permissions(userReg, fs::perms(0640));
    ASSERT_TRUE(registry.SetValues(Slot0, {{"type", std::uint32_t{2}}}, Now).Ok());
    std::string expected = UserReg;
    expected.replace(expected.find(" 1700000000\n#time=1da1b2c3d4e5f60\n"), 34, NowLines);
    expected.replace(expected.find("dword:00000001"), 14, "dword:00000002");
    EXPECT_EQ(ReadText(userReg), expected);
    EXPECT_EQ(fs::status(userReg).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(prefix.Path()), fs::directory_iterator()), 1);

    // A linked user.reg stays a link to the file it names.
    fs::rename(userReg, prefix / "kept.reg");
    fs::create_symlink("kept.reg", userReg);
    ASSERT_TRUE(registry.SetValues(Slot0, {{"type", std::uint32_t{3}}}, Now).Ok());
    EXPECT_TRUE(fs::is_symlink(userReg));
    EXPECT_NE(ReadText(prefix / "kept.reg").find("dword:00000003"), std::string::npos);
}

}  // namespace
}  // namespace moxtrel::platform::wine
