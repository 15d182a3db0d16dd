#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "WineTestSupport.h"
#include "platform/wine/WinePrefixRegistry.h"
#include "platform/wine/WineServer.h"

namespace moxtrel::platform::wine {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WineFromEnvironment;

const std::string Settings = "Software\\Orvek\\Lathmore\\Gantry\\Settings";
const std::string EditorSettings = "HKEY_CURRENT_USER\\" + Settings;

// A prefix whose editor has slots txpack0 (another program's pack) and
// txpack1 (free), written into user.reg as the server would have saved them.
class EditorPrefix : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = test::WineMissingReason(); !missing.empty()) GTEST_SKIP() << missing;
        prefix = std::make_unique<test::TestPrefix>();
        prefix->AddEditorSlots();
        registry = std::make_unique<WinePrefixRegistry>(prefix->Path().string(), WineFromEnvironment());
    }

    std::string Query(const std::string& slot, const std::string& name) const {
        return test::QueryValue(prefix->Path(), EditorSettings + "\\" + slot, name);
    }

    // A registration's values, and a text in Wine's escapes: "reg query"
    // prints text in a code page of its own, so that one is read through
    // "reg export", which writes UTF-16.
    std::vector<WineValue> Registration() const {
        return {{"type", std::uint32_t{1}}, {"path", std::string("Z:\\games\\quake\\id1\\Quake.wad")},
                {"name", std::string("Quake.wad")}, {"note", Note}};
    }
    const std::string Note = "\xC3\xA9t\xC3\xA9 \"quoted\" \\ back\\";

    // The note as Wine reads it, asked through a running server.
    std::string NoteAsWineReadsIt() const {
        prefix->StartServer();
        std::uint32_t type = 0;
        std::string data;
        const WineResult read = registry->ReadValue(Settings + "\\txpack1", "note", type, data);
        return read.Ok() ? data : DescribeFailure(read);
    }

    // The registration in txpack1 as Wine reads it, txpack0 untouched.
    void ExpectRegisteredInTheFreeSlot() const {
        EXPECT_EQ(Query("txpack1", "path"), "Z:\\games\\quake\\id1\\Quake.wad");
        EXPECT_EQ(Query("txpack1", "name"), "Quake.wad");
        EXPECT_EQ(Query("txpack1", "type"), "0x1");
        EXPECT_EQ(Query("txpack0", "name"), "Other.wad");
        EXPECT_EQ(NoteAsWineReadsIt(), Note + '\0');
    }

    std::unique_ptr<test::TestPrefix> prefix;
    std::unique_ptr<WinePrefixRegistry> registry;
};

TEST_F(EditorPrefix, WithItsServerStoppedUserRegIsEditedInPlaceOfTheSlotOnly) {
    const std::string before = ReadText(*prefix / "user.reg");
    ASSERT_TRUE(registry->SetValues(Settings + "\\txpack1", Registration()).Ok());
    const std::string after = ReadText(*prefix / "user.reg");
    const std::size_t slot = before.find("[Software\\\\Orvek\\\\Lathmore\\\\Gantry\\\\Settings\\\\txpack1]");
    EXPECT_EQ(after.substr(0, slot), before.substr(0, slot));
    EXPECT_FALSE(fs::exists(*prefix / "wineserver")) << "no Wine was started to write it";
    ExpectRegisteredInTheFreeSlot();
}

TEST_F(EditorPrefix, WithItsServerRunningEverythingGoesThroughWine) {
    prefix->StartServer();
    ASSERT_TRUE(WineServerLock::Take(prefix->Path().string(), "").ServerRuns());
    std::uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(registry->ReadValue(Settings + "\\txpack0", "name", type, data).Ok());
    EXPECT_EQ(data, std::string("Other.wad\0", 10));
    EXPECT_EQ(registry->ReadValue(Settings + "\\txpack1", "name", type, data).failure, WineFailure::ValueNotFound);

    const std::string before = ReadText(*prefix / "user.reg");
    ASSERT_TRUE(registry->SetValues(Settings + "\\txpack1", Registration()).Ok());
    ExpectRegisteredInTheFreeSlot();

    // No slot is made, by the program or by reg.
    EXPECT_EQ(registry->SetValues(Settings + "\\txpack2", Registration()).failure, WineFailure::KeyNotFound);
    EXPECT_EQ(Query("txpack2", "name"), "<missing>");
    EXPECT_EQ(registry->CheckKey(Settings + "\\txpack2").failure, WineFailure::KeyNotFound);

    // What the server keeps reaches user.reg when it stops, over the file as it was.
    EXPECT_EQ(ReadText(*prefix / "user.reg"), before);
    prefix->StopServer();
    data.clear();
    ASSERT_TRUE(registry->ReadValue(Settings + "\\txpack1", "note", type, data).Ok());
    EXPECT_EQ(data, Note + '\0');
}

TEST_F(EditorPrefix, AServerThatDoesNotAnswerOrNoWineToAskItChangesNothing) {
    prefix->StartServer();
    const pid_t server = WineServerLock::Take(prefix->Path().string(), "").ServerProcess();
    ASSERT_GT(server, 0);
    ASSERT_EQ(registry->CheckKey(Settings + "\\txpack1").failure, WineFailure::None);

    WineCommand noWine = WineFromEnvironment();
    noWine.program = "wine-that-is-not-installed";
    EXPECT_EQ(WinePrefixRegistry(prefix->Path().string(), noWine).SetValues(Settings + "\\txpack1", Registration()).failure,
              WineFailure::WineNotInstalled);

    ::kill(server, SIGSTOP);
    WineCommand impatient = WineFromEnvironment();
    impatient.timeout = std::chrono::milliseconds(1500);
    const auto start = std::chrono::steady_clock::now();
    const WineResult stuck = WinePrefixRegistry(prefix->Path().string(), impatient).SetValues(Settings + "\\txpack1", Registration());
    const auto waited = std::chrono::steady_clock::now() - start;
    ::kill(server, SIGCONT);
    EXPECT_EQ(stuck.failure, WineFailure::WineTimedOut);
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_EQ(Query("txpack1", "name"), "<missing>");
}

TEST_F(EditorPrefix, ADamagedUserRegIsLeftByteForByte) {
    std::ofstream(*prefix / "user.reg", std::ios::app) << "\"stray\"=\"cut short\n";
    const std::string before = ReadText(*prefix / "user.reg");
    const WineResult result = registry->SetValues(Settings + "\\txpack1", Registration());
    EXPECT_EQ(result.failure, WineFailure::RegistryDamaged);
    EXPECT_GT(result.line, 1u);
    EXPECT_EQ(ReadText(*prefix / "user.reg"), before);
}

TEST(WineServerLock, HeldItKeepsAServerFromStartingUntilItGoes) {
    if (const std::string missing = test::WineMissingReason(); !missing.empty()) GTEST_SKIP() << missing;
    test::TestPrefix prefix;
    prefix.StartServer();
    prefix.StopServer();  // its lock file stays
    {
        const WineServerLock held = WineServerLock::Take(prefix.Path().string(), "");
        ASSERT_FALSE(held.ServerRuns());
        EXPECT_NE(test::RunInPrefix(prefix.Path(), {"wineserver", "-p"}), 0);
    }
    // Held for a moment by another program, not a server, it is waited for.
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        const WineServerLock held = WineServerLock::Take(prefix.Path().string(), "");
        (void)!::write(started[1], "g", 1);
        ::usleep(300'000);
        ::_exit(held.ServerRuns() ? 1 : 0);
    }
    char go = 0;
    ASSERT_EQ(::read(started[0], &go, 1), 1);
    EXPECT_FALSE(WineServerLock::Take(prefix.Path().string(), "").ServerRuns());
    int status = 0;
    ::waitpid(other, &status, 0);
    EXPECT_EQ(status, 0);
    ::close(started[0]);
    ::close(started[1]);
    EXPECT_EQ(test::RunInPrefix(prefix.Path(), {"wineserver", "-p"}), 0);
    EXPECT_TRUE(WineServerLock::Take(prefix.Path().string(), "").ServerRuns());
}

}  // namespace
}  // namespace moxtrel::platform::wine
