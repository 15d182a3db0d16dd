#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <windows.h>

#include "platform/Console.h"
#include "platform/Environment.h"
#include "platform/File.h"
#include "platform/FsPath.h"
#include "platform/Registry.h"
#include "platform/Services.h"
#include "platform/win32/Drives.h"
#include "platform/win32/Unicode.h"
#include "support/TempDir.h"

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

struct ShareCase {
    unsigned first;
    unsigned second;
    bool secondOpens;
};

TEST(WindowsFile, ShareModesAdmitAndRefuseASecondOpenAsTheyAreNamed) {
    using namespace FileMode;
    const ShareCase cases[] = {
        {ArchiveRead, ArchiveRead, true},           // readers go on together
        {ArchiveRead, Write | NoTruncate, false},   // denying writing
        {PackageWrite, ArchiveRead, false},         // denying reading
        {PackageWrite, Write | NoTruncate | ShareDenyNone, true},
        {Read | ShareDenyNone, PackageWrite, false},  // the package may not deny a reader already there
    };
    test::TempDir dir;
    const std::string path = FromFsPath(dir / "PAK0.PAK");
    for (const ShareCase& c : cases) {
        std::ofstream(ToFsPath(path), std::ios::binary) << "content";
        File first;
        File second;
        ASSERT_TRUE(first.Open(path, c.first));
        EXPECT_EQ(second.Open(path, c.second), c.secondOpens) << c.first << " then " << c.second;
        if (!c.secondOpens) {
            EXPECT_EQ(second.LastOsError(), EWOULDBLOCK);
        }
        first.Close();
        second.Close();
        const bool emptied = (c.first & Create) || (c.secondOpens && (c.second & Create));
        EXPECT_EQ(std::filesystem::file_size(ToFsPath(path)), emptied ? 0u : 7u) << "a refused open leaves the file whole";
    }
}

TEST(WindowsFile, NamesTheFailuresAsThePosixBuildDoes) {
    test::TempDir dir;
    File file;
    EXPECT_FALSE(file.Open(dir.Dir() + "missing.pak", FileMode::ArchiveRead));
    EXPECT_EQ(file.LastOsError(), ENOENT);
    EXPECT_FALSE(file.Open(dir.Dir(), FileMode::ArchiveRead));
    EXPECT_EQ(file.LastOsError(), EISDIR);
    EXPECT_FALSE(file.OpenRegularForReading(dir.Dir()));
    EXPECT_EQ(file.LastOsError(), EISDIR);
    EXPECT_EQ(OsErrorText(EWOULDBLOCK), "Resource temporarily unavailable");
}

TEST(WindowsFile, ResolvesTheSpellingOnDisk) {
    test::TempDir dir;
    std::filesystem::create_directories(dir / "Quake" / "ID1");
    const std::string root = FromFsPath(dir.Path());
    EXPECT_EQ(ResolvePathIgnoringCase(root + "\\QUAKE\\id1\\"), root + "\\Quake\\ID1\\");
    EXPECT_EQ(ResolvePathIgnoringCase(root + "\\quake\\nothing"), root + "\\Quake\\nothing");
}

// A key of the current user's own registry for one test, removed afterwards.
class SystemRegistryTest : public testing::Test {
protected:
    const std::wstring m_key = L"Software\\MoxtrelTest" + std::to_wstring(::GetCurrentProcessId());
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }
    bool KeyExists() const {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }
};

TEST_F(SystemRegistryTest, OpensWithoutCreatingAndKeepsTextThatIsNotAscii) {
    // Without a store file the program uses the user's own registry.
    const Services services = MakeServices(Environment{});
    Registry& registry = *services.registry;
    ASSERT_EQ(registry.Name(), "HKEY_CURRENT_USER");
    const std::string key = *Narrow(m_key);
    RegistryHandle opened = 0;
    EXPECT_EQ(registry.OpenKey(RegistryCurrentUser, key, opened).result, RegistryResult::NotFound);
    EXPECT_FALSE(KeyExists()) << "a missing key is never created";

    HKEY made = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made,
                                nullptr), ERROR_SUCCESS);
    ::RegCloseKey(made);
    ASSERT_EQ(registry.OpenKey(RegistryCurrentUser, key, opened).result, RegistryResult::Success);
    const std::string path = "C:\\Spiele\\Qu\xC3\xA4ke\\id1\\Quake.wad";
    ASSERT_EQ(registry.SetValue(opened, "path", RegistryType::Text, path.c_str(), std::uint32_t(path.size() + 1))
                  .result,
              RegistryResult::Success);
    std::uint32_t type = 0;
    char text[64] = {};
    std::uint32_t size = sizeof text;
    ASSERT_EQ(registry.QueryValue(opened, "path", type, text, size).result, RegistryResult::Success);
    EXPECT_EQ(type, RegistryType::Text);
    EXPECT_EQ(std::string(text, size), path + '\0');
    size = 4;
    EXPECT_EQ(registry.QueryValue(opened, "path", type, text, size).result, RegistryResult::MoreData);

    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
    const std::uint32_t one = 1;
    EXPECT_EQ(registry.SetValue(opened, "type", RegistryType::Number, &one, 4).result, RegistryResult::KeyDeleted);
    EXPECT_FALSE(KeyExists()) << "a deleted key is not made again";
    EXPECT_EQ(registry.CloseKey(opened).result, RegistryResult::Success);
}

}  // namespace
}  // namespace moxtrel::platform
