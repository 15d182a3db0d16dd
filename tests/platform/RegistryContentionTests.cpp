// The registry store shared at once: several processes setting values in one
// store, and a store that another program (which knows nothing of the lock)
// rewrites meanwhile. No change may be lost and nobody may ever read a
// half-written store.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "platform/StoreRegistry.h"
#include "support/Children.h"
#include "support/TempDir.h"

namespace moxtrel::platform {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::ExitCodeOf;
using test::Spawn;
using test::StartingGate;
using test::TempDir;

constexpr const char* OurKey = "HKEY_CURRENT_USER\\Software\\Moxtrel\\Contention";
constexpr const char* OurSubKey = "Software\\Moxtrel\\Contention";
constexpr const char* TheirKey = "HKEY_CURRENT_USER\\Software\\Other";

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The text of the store as a reader that shares nothing for deletion sees
// it; none while the store is there but cannot be opened, as on Windows for
// the moment a writer moves a new version into place. Such a reader tries
// again; a store that is not there at all reads as empty, and so as lost.
std::optional<std::string> TryReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file && fs::exists(path)) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// How another program saves: the whole file written beside the store and
// renamed over it.
void ReplaceByRename(const std::string& path, const std::string& text) {
    std::string temporary = path + ".other-program";
    std::ofstream(temporary, std::ios::binary | std::ios::trunc) << text;
    std::error_code ignored;
    fs::rename(temporary, path, ignored);
}

// How a plainer program saves: the store emptied and written again in place.
void RewriteInPlace(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The other program's settings: `keys` keys of its own and a save counter.
std::string TheirSettings(int saves, int keys) {
    std::string text;
    for (int k = 0; k < keys; ++k) {
        text += "\n[" + std::string(TheirKey) + "\\Key" + std::to_string(k) + "]\n\"Setting\"=\"";
        text += std::string(200, static_cast<char>('a' + k % 26)) + "\"\n";
    }
    char counter[16];
    std::snprintf(counter, sizeof counter, "%08x", saves);
    return text + "\n[" + TheirKey + "]\n\"Saves\"=dword:" + counter + "\n";
}

std::string StoreText(int saves, int keys, const std::string& ourSection = "") {
    return "REGEDIT4\n\n[" + std::string(OurKey) + "]\n" + ourSection + TheirSettings(saves, keys);
}

int NumberOf(const RegistryValue* value) {
    if (!value || value->type != RegistryType::Number || value->data.size() != 4) return -1;
    return static_cast<unsigned char>(value->data[0]) | static_cast<unsigned char>(value->data[1]) << 8 |
           static_cast<unsigned char>(value->data[2]) << 16 | static_cast<unsigned char>(value->data[3]) << 24;
}

// Tells a child when to stop: a file that the parent creates.
class StopSignal {
public:
    explicit StopSignal(fs::path file) : m_file(std::move(file)) {}
    bool Given() const { return fs::exists(m_file); }
    void Give() const { std::ofstream(m_file) << "stop"; }

private:
    fs::path m_file;
};

// Sets `count` numbered values named after `writer` in our key through the
// registry calls the registration uses; 0 when every call succeeded.
int SetValues(const std::string& store, int writer, int count) {
    StoreRegistry registry(store);
    RegistryHandle key = 0;
    if (!registry.OpenKey(RegistryCurrentUser, OurSubKey, key).Ok()) return 1;
    for (int i = 0; i < count; ++i) {
        std::uint32_t value = static_cast<std::uint32_t>(i);
        std::string name = "writer" + std::to_string(writer) + "_" + std::to_string(i);
        if (!registry.SetValue(key, name, RegistryType::Number, &value, sizeof value).Ok()) return 2;
    }
    registry.CloseKey(key);
    return 0;
}

// Reads the store over and over until told to stop. Every version read must
// parse whole; `check` sees each one and says what is wrong with it.
int WatchStore(const std::string& path, const StopSignal& stop,
               const std::function<std::string(const RegistryDocument&)>& check) {
    int reads = 0;
    do {
        std::optional<std::string> text = TryReadText(path);
        if (!text) continue;
        RegistryDocument document;
        std::string error;
        if (!RegistryDocument::Parse(*text, document, error)) {
            std::fprintf(stderr, "half-written store after %d reads: %s\n", reads, error.c_str());
            return 1;
        }
        if (std::string wrong = check(document); !wrong.empty()) {
            std::fprintf(stderr, "after %d reads: %s\n", reads, wrong.c_str());
            return 2;
        }
        ++reads;
    } while (!stop.Given());
    return reads > 0 ? 0 : 3;
}

TEST(RegistryContention, ProcessesSettingValuesAtOnceLoseNone) {
    TempDir dir;
    const std::string store = (dir / "registry.reg").string();
    std::ofstream(store) << "REGEDIT4\n\n[" << OurKey << "]\n";
    constexpr int Writers = 4;
    constexpr int ValuesEach = 10;

    StartingGate gate;
    StopSignal stop(dir / "stop");
    // Our writers hold the lock, so each version of the store holds every
    // value an earlier one held: a value that disappears was a lost update.
    Child watcher = Spawn([&] {
        std::set<std::string> seen;
        return WatchStore(store, stop, [&](const RegistryDocument& document) -> std::string {
            std::set<std::string> now;
            for (const auto& key : document.Keys()) {
                for (const auto& value : key.values) now.insert(value.name);
            }
            for (const auto& name : seen) {
                if (!now.count(name)) return "value " + name + " was lost";
            }
            seen = std::move(now);
            return {};
        });
    });
    std::vector<Child> writers;
    for (int w = 0; w < Writers; ++w) {
        writers.push_back(Spawn([&, w] {
            gate.Wait();
            return SetValues(store, w, ValuesEach);
        }));
    }
    gate.Open(Writers);
    for (Child writer : writers) EXPECT_EQ(ExitCodeOf(writer), 0) << "every set succeeds";
    stop.Give();
    EXPECT_EQ(ExitCodeOf(watcher), 0) << "the store was always whole and lost nothing";

    RegistryDocument final;
    std::string error;
    ASSERT_TRUE(RegistryDocument::Parse(ReadText(store), final, error)) << error;
    for (int w = 0; w < Writers; ++w) {
        for (int i = 0; i < ValuesEach; ++i) {
            std::string name = "writer" + std::to_string(w) + "_" + std::to_string(i);
            EXPECT_EQ(NumberOf(final.FindValue(OurKey, name)), i) << name;
        }
    }
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "registry.reg" || name == "registry.reg.lock" || name == "stop") << "left behind: " << name;
    }
}

TEST(RegistryContention, ASaveByAnotherProgramDuringAChangeIsKept) {
    // The other program saves after our change read the store and before it
    // is written: the change must be made on top of that save, not over it.
    struct Save {
        const char* how;
        void (*save)(const std::string&, const std::string&);
    };
    for (const Save& save : {Save{"replaced by rename", ReplaceByRename}, Save{"rewritten in place", RewriteInPlace}}) {
        SCOPED_TRACE(save.how);
        TempDir dir;
        const std::string store = (dir / "registry.reg").string();
        std::ofstream(store) << StoreText(1, 3);

        int changes = 0;
        RegistryStatus result = RegistryStore(store).Update([&](RegistryDocument& document) {
            if (changes++ == 0) save.save(store, StoreText(2, 3));
            return document.SetValue(OurKey, "path", RegistryType::Text, std::string("ours\0", 5));
        });
        EXPECT_TRUE(result.Ok());

        RegistryDocument final;
        std::string error;
        ASSERT_TRUE(RegistryDocument::Parse(ReadText(store), final, error)) << error;
        EXPECT_EQ(NumberOf(final.FindValue(TheirKey, "Saves")), 2) << "the other program's save is kept";
        const RegistryValue* ours = final.FindValue(OurKey, "path");
        ASSERT_NE(ours, nullptr);
        EXPECT_EQ(ours->data, std::string("ours\0", 5));
    }
}

TEST(RegistryContention, StoreAnotherProgramKeepsSavingIsNeverHalfWrittenOrCutShort) {
    TempDir dir;
    const std::string store = (dir / "registry.reg").string();
    constexpr int TheirKeys = 40;  // about 10 KB, so reads and writes take several system calls
    std::ofstream(store) << StoreText(0, TheirKeys);

    StartingGate gate;
    StopSignal stop(dir / "stop");
    StopSignal otherProgramStop(dir / "stop-other-program");
    // Every version anyone can read is whole and holds all of the other
    // program's keys: we never write back a store we read in part.
    Child watcher = Spawn([&] {
        return WatchStore(store, stop, [&](const RegistryDocument& document) -> std::string {
            for (int k = 0; k < TheirKeys; ++k) {
                if (!document.HasKey(std::string(TheirKey) + "\\Key" + std::to_string(k))) {
                    return "the other program's key " + std::to_string(k) + " is gone";
                }
            }
            return {};
        });
    });
    // The other program reads the store, counts its save and saves it again
    // by rename, keeping our key as it read it: every 20 milliseconds, far
    // more often than any program saves its settings, yet seldom enough that
    // a change of ours (which waits for the disk) gets through.
    Child otherProgram = Spawn([&] {
        gate.Wait();
        int saves = 0;
        while (!otherProgramStop.Given()) {
            RegistryDocument document;
            std::string error;
            std::optional<std::string> text = TryReadText(store);
            if (!text) continue;
            if (!RegistryDocument::Parse(*text, document, error)) return 1;
            std::string ourSection;
            if (auto key = std::find_if(document.Keys().begin(), document.Keys().end(),
                                               [](const RegistryKeySection& k) { return k.path == OurKey; });
                key != document.Keys().end()) {
                for (const auto& value : key->values) ourSection += value.Format() + "\n";
            }
            ReplaceByRename(store, StoreText(++saves, TheirKeys, ourSection));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return saves > 0 ? 0 : 2;
    });
    std::vector<Child> writers;
    for (int w = 0; w < 2; ++w) {
        writers.push_back(Spawn([&, w] {
            gate.Wait();
            return SetValues(store, w, 8);
        }));
    }
    gate.Open(3);
    for (Child writer : writers) EXPECT_EQ(ExitCodeOf(writer), 0) << "every set succeeds while the other program saves";
    otherProgramStop.Give();
    EXPECT_EQ(ExitCodeOf(otherProgram), 0);
    stop.Give();
    EXPECT_EQ(ExitCodeOf(watcher), 0);
}

}  // namespace
}  // namespace moxtrel::platform
