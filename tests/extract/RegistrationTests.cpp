#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "extract/Registration.h"
#include "extract/RegistryKey.h"
#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "platform/StoreRegistry.h"
#include "support/Children.h"
#include "support/FakeRegistry.h"
#include "support/TempDir.h"

namespace moxtrel {
namespace {

namespace fs = std::filesystem;
using platform::RegistryCurrentUser;
using platform::RegistryDocument;
using platform::RegistryResult::Success;
using test::TempDir;

const std::string SettingsKey = "HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings";

std::string SlotKey(int slot) {
    return SettingsKey + "\\txpack" + std::to_string(slot);
}

// One slot key of the store; no name means the key holds no "name" value.
struct Slot {
    int number;
    std::optional<std::string> name;
};

const std::string GameDir = "/games/My \"Quake\"\\/id1/";

void AddSlots(test::FakeRegistry& registry, const std::vector<Slot>& slots) {
    for (const Slot& slot : slots) {
        registry.AddKey(SlotKey(slot.number));
        if (slot.name) registry.SetText(SlotKey(slot.number), "name", *slot.name);
    }
}

// The rules for choosing a slot, on a registry held in memory.
class SlotRules : public ::testing::Test {
protected:
    test::FakeRegistry registry;
    const std::string gameDir = GameDir;

    // The three values of a registration.
    void ExpectRegisteredIn(int slot, const std::string& package) {
        const std::string key = SlotKey(slot);
        SCOPED_TRACE(key);
        EXPECT_EQ(registry.Data(key, "type"), std::string("\x01\0\0\0", 4));
        EXPECT_EQ(registry.Text(key, "path"), gameDir + package);
        EXPECT_EQ(registry.Text(key, "name"), package);
    }
};

class RegistryFixture : public ::testing::Test {
protected:
    TempDir dir;
    fs::path store = dir / "registry.reg";
    platform::StoreRegistry registry{store.string()};
    const std::string gameDir = GameDir;

    void WriteStore(const std::vector<Slot>& slots, const std::string& more = "") {
        std::string text = "REGEDIT4\n";
        for (const Slot& slot : slots) {
            text += "\n[" + SlotKey(slot.number) + "]\n";
            if (slot.name) text += "\"name\"=\"" + *slot.name + "\"\n";
        }
        std::ofstream(store, std::ios::binary) << text << more;
    }

    std::string StoreText() const {
        std::ifstream file(store, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    RegistryDocument ParsedStore() const {
        RegistryDocument document;
        std::string error;
        EXPECT_TRUE(RegistryDocument::Parse(StoreText(), document, error)) << error;
        return document;
    }

    std::string TextValue(const RegistryDocument& document, const std::string& key, const std::string& name) const {
        const platform::RegistryValue* value = document.FindValue(key, name);
        if (!value) return "<missing>";
        if (value->type != platform::RegistryType::Text || value->data.empty()) return "<not text>";
        return value->data.substr(0, value->data.size() - 1);
    }

    // The three values of a registration, in the order they are written.
    void ExpectRegisteredIn(int slot, const std::string& package) {
        const RegistryDocument document = ParsedStore();
        const std::string key = SlotKey(slot);
        SCOPED_TRACE(key);
        const platform::RegistryValue* type = document.FindValue(key, "type");
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->type, platform::RegistryType::Number);
        EXPECT_EQ(type->data, std::string("\x01\0\0\0", 4));
        EXPECT_EQ(TextValue(document, key, "path"), gameDir + package);
        EXPECT_EQ(TextValue(document, key, "name"), package);
    }
};

using RegistryKeyClass = RegistryFixture;

TEST_F(RegistryKeyClass, RemembersTheResultTypeAndSizeOfItsLastCall) {
    WriteStore({{0, std::string(199, 'x')}, {1, std::string(200, 'y')}});
    CRegistryKey key(registry, RegistryCurrentUser);
    EXPECT_EQ(key.m_hKey, RegistryCurrentUser);
    EXPECT_TRUE(key.m_strPath.empty());

    ASSERT_TRUE(key.Open(RegistryCurrentUser, "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0"));
    EXPECT_EQ(key.m_strPath, "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0");
    EXPECT_EQ(key.m_dwType, 0u);
    EXPECT_EQ(key.m_dwSize, 0u);

    std::string text = "before";
    EXPECT_TRUE(key.QueryValue("name", text));  // 200 bytes with the NUL: just fits
    EXPECT_EQ(text, std::string(199, 'x'));
    EXPECT_EQ(key.m_dwSize, 200u);

    text = "before";
    EXPECT_FALSE(key.QueryValue("nothing", text));
    EXPECT_EQ(key.m_lResult, platform::RegistryResult::NotFound);
    EXPECT_EQ(text, "before");

    EXPECT_TRUE(key.SetValue("path", std::string("abc")));
    EXPECT_EQ(key.m_dwType, 1u);
    EXPECT_EQ(key.m_dwSize, 4u);
    EXPECT_TRUE(key.SetValue("count", std::uint32_t{0x41}));
    EXPECT_EQ(key.m_dwType, 4u);
    EXPECT_EQ(key.m_dwSize, 4u);
    // A number read as text ends at its first zero byte.
    EXPECT_TRUE(key.QueryValue("count", text));
    EXPECT_EQ(text, "A");
    key.Close();
    EXPECT_EQ(key.m_hKey, 0u);

    ASSERT_TRUE(key.Open(RegistryCurrentUser, "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack1"));
    text = "before";
    EXPECT_FALSE(key.QueryValue("name", text));
    EXPECT_EQ(key.m_lResult, platform::RegistryResult::MoreData);
    EXPECT_EQ(key.m_dwType, 1u);
    EXPECT_EQ(key.m_dwSize, 201u);
    EXPECT_EQ(text, "before");

    EXPECT_FALSE(key.Open(RegistryCurrentUser, "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack2"));
    EXPECT_EQ(key.m_lResult, platform::RegistryResult::NotFound);
    EXPECT_EQ(key.m_hKey, 0u);
}

TEST_F(RegistryKeyClass, DestructorClosesTheKey) {
    WriteStore({{0, ""}});
    platform::RegistryHandle handle = 0;
    {
        CRegistryKey key(registry, RegistryCurrentUser);
        ASSERT_TRUE(key.Open(RegistryCurrentUser, "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0"));
        handle = key.m_hKey;
    }
    EXPECT_EQ(registry.CloseKey(handle).result, platform::RegistryResult::InvalidHandle);
}

using Registration = RegistryFixture;

TEST_F(Registration, FreeFirstSlotReceivesTypePathAndNameInThatOrder) {
    for (const std::optional<std::string>& name : {std::optional<std::string>(), std::optional<std::string>("")}) {
        SCOPED_TRACE(name ? "empty name" : "no name");
        WriteStore({{0, name}});
        RegisterTexturePack(registry, GameKind::Quake, gameDir);
        EXPECT_EQ(StoreText(), "REGEDIT4\n\n[" + SlotKey(0) + "]\n" +
                                   (name ? "\"name\"=\"Quake.wad\"\n" : "") +
                                   "\"type\"=dword:00000001\n"
                                   "\"path\"=\"/games/My \\\"Quake\\\"\\\\/id1/Quake.wad\"\n" +
                                   (name ? "" : "\"name\"=\"Quake.wad\"\n"));
        ExpectRegisteredIn(0, "Quake.wad");
    }
}

TEST_F(SlotRules, WritesNothingWithoutAFreeSlotBeforeTheFirstMissingOne) {
    const std::vector<std::vector<Slot>> stores = {
        {{1, ""}},                        // no txpack0, even though txpack1 is free
        {{0, "Other.wad"}},               // another pack and no txpack1
        {{0, "Other.wad"}, {2, ""}},      // a gap ends the list
    };
    for (const auto& slots : stores) {
        test::FakeRegistry own;
        AddSlots(own, slots);
        RegisterTexturePack(own, GameKind::Quake, gameDir);
        EXPECT_EQ(own.Writes(), 0);
    }
    AddSlots(registry, {{0, ""}});
    EXPECT_EQ(registry.Writes(), 0);
}

TEST_F(SlotRules, EitherGameTakesTheSlotHoldingOneOfItsPackages) {
    AddSlots(registry, {{0, "A.wad"}, {1, "B.wad"}, {2, "Quake.wad"}, {3, ""}});
    RegisterTexturePack(registry, GameKind::Quake, gameDir);
    ExpectRegisteredIn(2, "Quake.wad");
    // Hexen II replaces the Quake registration in the same slot, and back.
    RegisterTexturePack(registry, GameKind::HexenII, gameDir);
    ExpectRegisteredIn(2, "Hexen.wad");
    RegisterTexturePack(registry, GameKind::Quake, gameDir);
    ExpectRegisteredIn(2, "Quake.wad");
    EXPECT_EQ(registry.Text(SlotKey(0), "name"), "A.wad");
    EXPECT_EQ(registry.Text(SlotKey(1), "name"), "B.wad");
    EXPECT_EQ(registry.Data(SlotKey(3), "type"), std::nullopt);
}

TEST_F(SlotRules, ANameDifferingOnlyInCaseBelongsToAnotherPack) {
    AddSlots(registry, {{0, "quake.wad"}, {1, "HEXEN.WAD"}, {2, ""}});
    RegisterTexturePack(registry, GameKind::Quake, gameDir);
    ExpectRegisteredIn(2, "Quake.wad");
    EXPECT_EQ(registry.Text(SlotKey(0), "name"), "quake.wad");
    EXPECT_EQ(registry.Data(SlotKey(0), "path"), std::nullopt);
}

TEST_F(SlotRules, ANameTooLongToReadCountsAsEmpty) {
    AddSlots(registry, {{0, std::string(199, 'n')}, {1, std::string(200, 'n')}, {2, ""}});
    RegisterTexturePack(registry, GameKind::Quake, gameDir);
    ExpectRegisteredIn(1, "Quake.wad");
}

TEST_F(SlotRules, SlotNumbersRunFromZeroToThirtyOneWithoutPadding) {
    std::vector<Slot> slots;
    for (int i = 0; i < 10; ++i) slots.push_back({i, "Other" + std::to_string(i) + ".wad"});
    slots.push_back({10, ""});
    AddSlots(registry, slots);
    registry.AddKey(SettingsKey + "\\txpack010");
    RegisterTexturePack(registry, GameKind::Quake, gameDir);
    ExpectRegisteredIn(10, "Quake.wad");
    EXPECT_EQ(registry.Data(SettingsKey + "\\txpack010", "name"), std::nullopt);

    slots.clear();
    for (int i = 0; i < 31; ++i) slots.push_back({i, "Other.wad"});
    slots.push_back({31, ""});
    test::FakeRegistry last;
    AddSlots(last, slots);
    RegisterTexturePack(last, GameKind::HexenII, gameDir);
    EXPECT_EQ(last.Text(SlotKey(31), "name"), "Hexen.wad");

    slots.back().name = "Other.wad";
    slots.push_back({32, ""});
    test::FakeRegistry beyond;
    AddSlots(beyond, slots);
    RegisterTexturePack(beyond, GameKind::HexenII, gameDir);
    EXPECT_EQ(beyond.Writes(), 0);
}

TEST_F(Registration, ConcurrentWritersOfOneStoreLoseNothing) {
    constexpr int Writers = 4;
    constexpr int ValuesEach = 15;
    std::string others;
    for (int w = 0; w < Writers; ++w) others += "\n[HKEY_CURRENT_USER\\Software\\Other\\Writer" + std::to_string(w) + "]\n";
    WriteStore({{0, "Other.wad"}, {1, ""}}, others);

    // Every child waits at the gate, so they all start together; each has a
    // registry of its own on the store.
    test::StartingGate gate;
    std::vector<test::Child> children;
    for (int child = 0; child <= Writers; ++child) {
        children.push_back(test::Spawn([&, child] {
            platform::StoreRegistry own{store.string()};
            gate.Wait();
            bool ok = true;
            if (child == Writers) {
                for (int i = 0; i < ValuesEach; ++i) RegisterTexturePack(own, i % 2 == 0 ? GameKind::Quake : GameKind::HexenII, gameDir);
            } else {
                CRegistryKey key(own, RegistryCurrentUser);
                ok = key.Open(RegistryCurrentUser, "Software\\Other\\Writer" + std::to_string(child));
                for (int i = 0; ok && i < ValuesEach; ++i) ok = key.SetValue("v" + std::to_string(i), std::to_string(i));
            }
            return ok ? 0 : 1;
        }));
    }
    gate.Open(Writers + 1);
    for (test::Child& child : children) EXPECT_EQ(test::ExitCodeOf(child), 0);

    const RegistryDocument document = ParsedStore();
    for (int w = 0; w < Writers; ++w) {
        const std::string key = "HKEY_CURRENT_USER\\Software\\Other\\Writer" + std::to_string(w);
        for (int i = 0; i < ValuesEach; ++i) {
            EXPECT_EQ(TextValue(document, key, "v" + std::to_string(i)), std::to_string(i)) << key;
        }
    }
    // The last registration was Quake (the counts run 0..14).
    ExpectRegisteredIn(1, "Quake.wad");
    EXPECT_EQ(TextValue(document, SlotKey(0), "name"), "Other.wad");
}

TEST_F(Registration, TheOutcomeSaysWhichSlotWasWrittenOrWhyNoneWas) {
    const std::string at = store.string();
    std::vector<Slot> taken;
    for (int i = 0; i < 32; ++i) taken.push_back({i, "Other.wad"});
    const std::string key = "HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack";
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string line;  // the whole line, or its beginning when it ends in the system's words
    };
    for (const Case& c : std::vector<Case>{
             {"no store", [] {}, "not registered: no store file at " + at},
             {"no txpack0", [&] { WriteStore({{1, ""}}); }, "not registered: " + at + " has no key " + key + "0"},
             {"one other pack", [&] { WriteStore({{0, "A.wad"}}); },
              "not registered: txpack0 holds another pack and " + at + " has no key " + key + "1"},
             {"two other packs", [&] { WriteStore({{0, "A.wad"}, {1, "B.wad"}}); },
              "not registered: txpack0 to txpack1 hold other packs and " + at + " has no key " + key + "2"},
             {"all taken", [&] { WriteStore(taken); }, "not registered: all 32 slots of " + at + " hold other packs"},
             {"slot 2", [&] { WriteStore({{0, "A.wad"}, {1, "B.wad"}, {2, "Hexen.wad"}}); },
              "registered in slot txpack2 of " + at},
             {"store is a folder", [&] { fs::create_directory(store); },
              "not registered: " + at + " could not be read: it is not a regular file"},
             {"damaged store", [&] { std::ofstream(store) << "not a registry\n"; },
              "not registered: " + at + " could not be read: it is not a registry file that can be safely rewritten ("},
             {"lock is a folder", [&] { WriteStore({{0, ""}}); fs::create_directory(at + ".lock"); },
              "not registered: " + at + " could not be written: " + std::strerror(EISDIR)},
         }) {
        SCOPED_TRACE(c.what);
        fs::remove_all(store);
        fs::remove_all(at + ".lock");
        c.prepare();
        std::string line = DescribeRegistration(RegisterTexturePack(registry, GameKind::Quake, gameDir));
        EXPECT_EQ(line.substr(0, c.line.size()), c.line);
        if (c.line.back() != '(') {
            EXPECT_EQ(line, c.line);
        }
    }
}

TEST_F(SlotRules, AFailedRegistryIsExplainedByItsOwnStatus) {
    using platform::RegistryFailure;
    using namespace platform::RegistryResult;
    struct Case {
        const char* what;
        bool whenOpening;  // else when writing
        platform::RegistryStatus status;
        std::string reason;
    };
    for (const Case& c : std::vector<Case>{
             {"damaged", true, {StoreCorrupt, RegistryFailure::StoreDamaged, 0, "line 7: a value before the first key"},
              "read: it is not a registry file that can be safely rewritten (line 7: a value before the first key)"},
             {"a folder", true, {StoreIoFailed, RegistryFailure::StoreNotAFile, 0, {}}, "read: it is not a regular file"},
             {"no home", true, {StoreIoFailed, RegistryFailure::NoStorePlace, 0, {}}, "read: no home folder to keep it in"},
             {"disk full", false, platform::StoreIoFailure(ENOSPC), std::string("written: ") + std::strerror(ENOSPC)},
             {"system", false, platform::RegistryAnswer(5), "written: registry error 5"},
             {"no wine", true, {StoreIoFailed, RegistryFailure::Unavailable, 0, "wine is not installed"},
              "read: wine is not installed"},
         }) {
        SCOPED_TRACE(c.what);
        // No file stands at the name: the reason can only come from the status.
        test::FakeRegistry failing{"/nowhere/registry.reg"};
        AddSlots(failing, {{0, ""}});
        if (c.whenOpening) {
            failing.FailOpening(c.status);
        } else {
            failing.FailWriting(c.status);
        }
        EXPECT_EQ(DescribeRegistration(RegisterTexturePack(failing, GameKind::Quake, gameDir)),
                  "not registered: /nowhere/registry.reg could not be " + c.reason);
    }
}

}  // namespace
}  // namespace moxtrel

