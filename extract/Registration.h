#pragma once
// Registers a written package with the level editor: the first texture-pack
// slot (txpack0 .. txpack31) that is free or already holds one of this
// program's packages receives its type, path and name. The window program
// shows nothing of the outcome; moxtrel-cli prints it in one line.

#include <string>

#include "game/Games.h"
#include "platform/Registry.h"

namespace moxtrel {

enum class RegistrationStatus {
    Registered,       // the values were written into `slot`
    NoStore,          // there is no store file
    NoFirstSlot,      // the store has no txpack0 key
    SlotsEnded,       // the slots before `slot` hold other packs and `slot` has no key
    AllSlotsTaken,    // all 32 slots hold other packs
    StoreUnreadable,  // the store could not be read or parsed; `reason` says why
    StoreUnwritable,  // a slot was found but writing it failed; `reason` says why
    NotRun,           // no package name: nothing was looked at
};

struct RegistrationOutcome {
    RegistrationStatus status = RegistrationStatus::NotRun;
    int slot = -1;
    std::string store;   // the store's file, or HKEY_CURRENT_USER for the system's registry
    std::string reason;  // for the two store failures
};

// `gameDir` ends with '/'; the path written is gameDir followed by the
// package name of `game`.
RegistrationOutcome RegisterTexturePack(platform::Registry& registry, GameKind game, const std::string& gameDir);

// The same with the package's full path and its name given as they are, for a
// package written away from the archives. A slot that holds `packageName`
// already is taken again, like one that holds either game's package.
RegistrationOutcome RegisterTexturePackAt(platform::Registry& registry, const std::string& packagePath,
                                          const std::string& packageName);

// One line for a terminal: "registered in slot txpackN of STORE", or
// "not registered: " and why.
std::string DescribeRegistration(const RegistrationOutcome& outcome);

}  // namespace moxtrel
