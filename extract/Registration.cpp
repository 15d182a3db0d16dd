#include "extract/Registration.h"

#include "extract/ExtractionRun.h"
#include "extract/RegistryKey.h"

namespace moxtrel {

namespace {

constexpr int SlotCount = 32;
constexpr const char* SlotKeyPrefix = "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack";

// A slot is ours to write when it is free or holds either game's package, so
// the two games' packages take turns in one slot. Names are compared exactly:
// "quake.wad" is another program's pack.
bool IsFreeOrOurs(const std::string& name) {
    return name.empty() || name == "Quake.wad" || name == "Hexen.wad";
}

}  // namespace

void RegisterTexturePack(int game, const std::string& gameDir) {
    const std::string packageName = PackageNameFor(game);
    if (packageName.empty()) return;

    CRegistryKey key(platform::RegistryCurrentUser);
    std::string name;
    bool slotFound = false;
    for (int slot = 0; slot < SlotCount && !slotFound; ++slot) {
        // The editor numbers its slots without gaps: the first missing one ends the list.
        if (!key.Open(platform::RegistryCurrentUser, SlotKeyPrefix + std::to_string(slot))) return;
        key.QueryValue("name", name);
        if (IsFreeOrOurs(name)) {
            slotFound = true;
        } else {
            key.Close();
            name.clear();
        }
    }
    if (!slotFound) return;

    // The results are not tested: a failed write leaves the slot as far as it got.
    key.SetValue("type", std::uint32_t{1});
    key.SetValue("path", gameDir + packageName);
    key.SetValue("name", packageName);
    key.Close();
}

}  // namespace moxtrel
