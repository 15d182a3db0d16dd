#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Console.h"
#include "platform/Environment.h"
#include "platform/win32/Drives.h"
#include "platform/win32/Unicode.h"

namespace moxtrel::platform {
namespace {

TEST(Unicode, NamesSurviveTheRoundTripThroughUtf16) {
    const std::string names[] = {"", "C:\\Quake\\id1\\PAK0.PAK", "C:\\Spiele\\Qu\xC3\xA4ke",
                                 "D:\\\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0", "E:\\\xF0\x9F\x8E\xAE"};
    for (const std::string& name : names) {
        const std::optional<std::wstring> wide = Widen(name);
        ASSERT_TRUE(wide) << name;
        EXPECT_EQ(Narrow(*wide), name);
    }
    EXPECT_EQ(Widen("\xF0\x9F\x8E\xAE")->size(), 2u);  // one character, a surrogate pair
}

TEST(Unicode, RefusesWhatWouldReachWindowsAltered) {
    const std::string invalid[] = {"a\x80z", "\xC0\xAF", "\xC3", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
    for (const std::string& text : invalid) EXPECT_FALSE(Widen(text)) << testing::PrintToString(text);
    EXPECT_FALSE(Narrow(std::wstring(1, wchar_t(0xD800))));
    EXPECT_FALSE(Narrow(std::wstring(L"x") + wchar_t(0xDC00)));
}

TEST(Environment, ReadsPathsThatAreNotAsciiWhole) {
    const std::wstring store = L"C:\\Users\\J\u00F6rg\\registry.reg";
    ASSERT_EQ(::_wputenv_s(L"MOXTREL_REGISTRY", store.c_str()), 0);
    ASSERT_EQ(::_wputenv_s(L"MOXTREL_VOLUMES", L""), 0);
    const Environment environment = Environment::FromProcess();
    EXPECT_EQ(environment.registryStorePath, "C:\\Users\\J\xC3\xB6rg\\registry.reg");
    EXPECT_EQ(environment.driveMapPath, "");
    ::_wputenv_s(L"MOXTREL_REGISTRY", L"");
    EXPECT_EQ(Environment::FromProcess().registryStorePath, "") << "the real registry when unset";
}

TEST(Console, AFileOrTheNulDeviceIsNoTerminal) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(IsTerminal(file));
    EXPECT_FALSE(TerminalColumns(file));
    std::fclose(file);
    std::FILE* nul = std::fopen("NUL", "w");  // a character device, yet no console
    ASSERT_NE(nul, nullptr);
    EXPECT_FALSE(IsTerminal(nul));
    std::fclose(nul);
}

TEST(Drives, ListsTheSystemDriveWithItsTypeAndSerialAndAnUnusedLetterAsEmpty) {
    const std::vector<Volume> drives = ListLogicalDrives();
    std::string used;
    for (const Volume& drive : drives) used += drive.root.substr(0, 1);
    ASSERT_NE(used.find('C'), std::string::npos) << used;
    const Volume& system = drives[used.find('C')];
    EXPECT_EQ(system.root, "C:\\");
    EXPECT_EQ(system.type, DriveType::Fixed);
    EXPECT_NE(ReadVolumeSerial(system.root), NoVolumeSerial);
    const std::size_t unused = std::string("QRSTUVWXY").find_first_not_of(used);
    ASSERT_NE(unused, std::string::npos);
    EXPECT_EQ(ReadVolumeSerial(std::string(1, "QRSTUVWXY"[unused]) + ":\\"), NoVolumeSerial);
}

}  // namespace
}  // namespace moxtrel::platform
