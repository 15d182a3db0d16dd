#include "extract/Registration.h"

#include <cerrno>
#include <cstring>

#include "extract/ExtractionRun.h"
#include "extract/RegistryKey.h"
#include "game/Games.h"
#include "platform/File.h"
#include "platform/RegistryStore.h"

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

// How the system's own registry is named in the lines for the user.
constexpr const char* SystemRegistryName = "HKEY_CURRENT_USER";

// A slot key's full path, as the registry editor shows it.
std::string SlotKeyPath(int slot) {
    return std::string(SystemRegistryName) + "\\" + SlotKeyPrefix + std::to_string(slot);
}

bool StoreExists(const std::string& store) {
    return !store.empty() && platform::KindOf(store) != platform::PathKind::Missing;
}

// Why the store could not be used, in words for the user: the parser's own
// complaint for a damaged store, else the system's error of the failed call.
std::string StoreFailureReason(std::int32_t result, int osError, const platform::Registry& registry) {
    if (registry.IsSystem()) return "registry error " + std::to_string(result);
    const std::string& store = registry.StorePath();
    if (store.empty()) return "no home folder to keep it in";
    if (result == platform::RegistryResult::StoreCorrupt) {
        std::string text;
        if (platform::File file; file.OpenExactForReading(store)) {
            try {
                text = file.ReadToEnd();
            } catch (const platform::FileError&) {
            }
        }
        platform::RegistryDocument document;
        std::string error;
        platform::RegistryDocument::Parse(text, document, error);
        return "it is not a registry file that can be safely rewritten" + (error.empty() ? "" : " (" + error + ")");
    }
    const platform::PathKind kind = platform::KindOfTarget(store);
    if (kind != platform::PathKind::Missing && kind != platform::PathKind::File) return "it is not a regular file";
    if (osError != 0) return platform::OsErrorText(osError);
    return "registry error " + std::to_string(result);
}

// Walks the slots and opens the one to write into `key`; the outcome says
// which, or why there is none.
RegistrationOutcome FindSlot(CRegistryKey& key, const platform::Registry& registry, const std::string& packageName) {
    RegistrationOutcome outcome;
    const std::string& store = registry.StorePath();
    outcome.store = registry.IsSystem() ? SystemRegistryName : store;
    std::string name;
    for (int slot = 0; slot < SlotCount; ++slot) {
        errno = 0;
        // The editor numbers its slots without gaps: the first missing one ends the list.
        if (!key.Open(platform::RegistryCurrentUser, SlotKeyPrefix + std::to_string(slot))) {
            int osError = errno;
            outcome.slot = slot;
            if (key.m_lResult != platform::RegistryResult::NotFound) {
                outcome.status = RegistrationStatus::StoreUnreadable;
                outcome.reason = StoreFailureReason(key.m_lResult, osError, registry);
            } else if (slot > 0) {
                outcome.status = RegistrationStatus::SlotsEnded;
            } else {
                const bool storeExists = registry.IsSystem() || StoreExists(store);
                outcome.status = storeExists ? RegistrationStatus::NoFirstSlot : RegistrationStatus::NoStore;
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

    // All three values are written even when one fails, so a slot is left as
    // far as it got; the first failure is what the user is told.
    std::int32_t failure = platform::RegistryResult::Success;
    int osError = 0;
    auto note = [&](bool written) {
        if (!written && failure == platform::RegistryResult::Success) {
            failure = key.m_lResult;
            osError = errno;
        }
    };
    errno = 0;
    note(key.SetValue("type", std::uint32_t{1}));
    note(key.SetValue("path", packagePath));
    note(key.SetValue("name", packageName));
    key.Close();
    if (failure != platform::RegistryResult::Success) {
        outcome.status = RegistrationStatus::StoreUnwritable;
        outcome.reason = StoreFailureReason(failure, osError, registry);
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
            return notRegistered + "the store " + store + " could not be read: " + outcome.reason;
        case RegistrationStatus::StoreUnwritable:
            return notRegistered + "the store " + store + " could not be written: " + outcome.reason;
        case RegistrationStatus::NotRun: break;
    }
    return notRegistered + "the game has no package name";
}

}  // namespace moxtrel
