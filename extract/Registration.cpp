#include "extract/Registration.h"

#include "extract/ExtractionRun.h"
#include "extract/RegistryKey.h"
#include "game/Games.h"
#include "platform/File.h"

namespace moxtrel {

namespace {

constexpr int SlotCount = 32;
constexpr const char* SlotKeyPrefix = "Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack";

// A slot is ours to write when it is free, holds either game's package (so
// the two games' packages take turns in one slot) or the package's own name.
// Names are compared exactly: "quake.wad" is another program's pack.
bool IsFreeOrOurs(const std::string& name, const std::string& packageName) {
    if (name.empty() || name == packageName) return true;
    for (const Game& game : AllGames()) {
        if (name == game.packageName) return true;
    }
    return false;
}

// A slot key's full path, as the registry editor shows it.
std::string SlotKeyPath(int slot) {
    return std::string(platform::CurrentUserKeyPath) + "\\" + SlotKeyPrefix + std::to_string(slot);
}

// Why the registry could not be used, in words for the user, from what the
// registry said of the failed call: the parser's own complaint for a damaged
// store, the system's error for a store that could not be read or written,
// else the registry's result.
std::string StoreFailureReason(const platform::RegistryStatus& status) {
    using platform::RegistryFailure;
    switch (status.failure) {
        case RegistryFailure::NoStorePlace: return "no home folder to keep it in";
        case RegistryFailure::StoreDamaged:
            return "it is not a registry file that can be safely rewritten" +
                   (status.detail.empty() ? "" : " (" + status.detail + ")");
        case RegistryFailure::StoreNotAFile: return "it is not a regular file";
        case RegistryFailure::Unavailable: return status.detail;
        case RegistryFailure::StoreIo:
            if (status.osError != 0) return platform::OsErrorText(status.osError);
            break;
        case RegistryFailure::None: break;
    }
    return "registry error " + std::to_string(status.result);
}

// Walks the slots and opens the one to write into `key`; the outcome says
// which, or why there is none.
RegistrationOutcome FindSlot(CRegistryKey& key, const platform::Registry& registry, const std::string& packageName) {
    RegistrationOutcome outcome;
    outcome.store = registry.Name();
    std::string name;
    for (int slot = 0; slot < SlotCount; ++slot) {
        // The editor numbers its slots without gaps: the first missing one ends the list.
        if (!key.Open(platform::RegistryCurrentUser, SlotKeyPrefix + std::to_string(slot))) {
            outcome.slot = slot;
            if (key.m_lResult != platform::RegistryResult::NotFound) {
                outcome.status = RegistrationStatus::StoreUnreadable;
                outcome.reason = StoreFailureReason(key.LastStatus());
            } else if (slot > 0) {
                outcome.status = RegistrationStatus::SlotsEnded;
            } else {
                outcome.status = registry.Exists() ? RegistrationStatus::NoFirstSlot : RegistrationStatus::NoStore;
            }
            return outcome;
        }
        key.QueryValue("name", name);
        if (IsFreeOrOurs(name, packageName)) {
            outcome.status = RegistrationStatus::Registered;
            outcome.slot = slot;
            return outcome;
        }
        key.Close();
        name.clear();
    }
    outcome.status = RegistrationStatus::AllSlotsTaken;
    return outcome;
}

}  // namespace

RegistrationOutcome RegisterTexturePack(platform::Registry& registry, GameKind game, const std::string& gameDir) {
    const std::string packageName = PackageNameFor(game);
    return RegisterTexturePackAt(registry, gameDir + packageName, packageName);
}

RegistrationOutcome RegisterTexturePackAt(platform::Registry& registry, const std::string& packagePath,
                                          const std::string& packageName) {
    if (packageName.empty()) return {};
    CRegistryKey key(registry, platform::RegistryCurrentUser);
    RegistrationOutcome outcome = FindSlot(key, registry, packageName);
    if (outcome.status != RegistrationStatus::Registered) return outcome;

    // The editor opens the package by the path it sees, which under Wine is
    // one through the prefix's drives.
    std::string programPath;
    if (const platform::RegistryStatus seen = registry.PathForPrograms(packagePath, programPath); !seen.Ok()) {
        outcome.status = RegistrationStatus::StoreUnwritable;
        outcome.reason = StoreFailureReason(seen);
        return outcome;
    }

    // All three values are written even when one fails, so a slot is left as
    // far as it got; the first failure is what the user is told.
    platform::RegistryStatus failure;
    auto note = [&](bool written) {
        if (!written && failure.Ok()) failure = key.LastStatus();
    };
    note(key.SetValue("type", std::uint32_t{1}));
    note(key.SetValue("path", programPath));
    note(key.SetValue("name", packageName));
    key.Close();
    if (!failure.Ok()) {
        outcome.status = RegistrationStatus::StoreUnwritable;
        outcome.reason = StoreFailureReason(failure);
    }
    return outcome;
}

std::string DescribeRegistration(const RegistrationOutcome& outcome) {
    const std::string& store = outcome.store;
    const std::string notRegistered = "not registered: ";
    switch (outcome.status) {
        case RegistrationStatus::Registered:
            return "registered in slot txpack" + std::to_string(outcome.slot) + " of " + store;
        case RegistrationStatus::NoStore: return notRegistered + "no store file at " + store;
        case RegistrationStatus::NoFirstSlot: return notRegistered + store + " has no key " + SlotKeyPath(0);
        case RegistrationStatus::SlotsEnded:
            return notRegistered +
                   (outcome.slot == 1 ? "txpack0 holds another pack"
                                      : "txpack0 to txpack" + std::to_string(outcome.slot - 1) + " hold other packs") +
                   " and " + store + " has no key " + SlotKeyPath(outcome.slot);
        case RegistrationStatus::AllSlotsTaken:
            return notRegistered + "all " + std::to_string(SlotCount) + " slots of " + store + " hold other packs";
        case RegistrationStatus::StoreUnreadable:
            return notRegistered + store + " could not be read: " + outcome.reason;
        case RegistrationStatus::StoreUnwritable:
            return notRegistered + store + " could not be written: " + outcome.reason;
        case RegistrationStatus::NotRun: break;
    }
    return notRegistered + "the game has no package name";
}

}  // namespace moxtrel
