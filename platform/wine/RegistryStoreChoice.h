#pragma once
// Which registry a run uses on this system, from the environment's values and
// what is on disk, first that applies:
//   - the file $MOXTREL_REGISTRY names;
//   - the Wine prefix ($WINEPREFIX, else ~/.wine) whose registry holds the
//     level editor's settings key, since the editor runs there and reads
//     nothing else;
//   - the registry file at its XDG place, $XDG_CONFIG_HOME/moxtrel/registry.reg
//     (~/.config when unset or not absolute).
// With it come the words that name it for the user.

#include <string>

#include "platform/wine/WineProgram.h"
#include "platform/wine/WineResult.h"

namespace moxtrel::platform::wine {

// The level editor's settings key, below the current user.
inline constexpr const char* EditorSettingsKey = "Software\\Orvek\\Lathmore\\Gantry\\Settings";

// The environment's values the choice depends on; empty when unset.
struct StoreEnvironment {
    std::string registryFile;  // $MOXTREL_REGISTRY
    std::string winePrefix;    // $WINEPREFIX
    std::string home;          // $HOME, or the user's home folder
    std::string configHome;    // $XDG_CONFIG_HOME
};

struct StoreChoice {
    enum class Kind {
        File,        // a registry file (REGEDIT4 or version 5), at `path`
        WinePrefix,  // the registry of the Wine prefix at `path`
        None,        // no place for a store: no home folder
    };
    Kind kind = Kind::None;
    std::string path;
    // The store in words a user knows: "the Wine registry in ~/.wine",
    // "~/.config/moxtrel/registry.reg".
    std::string words;
    // Why the prefix's registry could not be asked for the key (a damaged
    // user.reg, a server that did not answer): the prefix is chosen then, so
    // the run says why it did not register rather than registering where the
    // editor does not look.
    WineResult problem;
};

// Asks the prefix's registry for the editor's key: user.reg when no
// wineserver runs for it, else the server through `wine`.
StoreChoice ChooseRegistryStore(const StoreEnvironment& environment, const WineCommand& wine);

// `path` with the home folder written as "~".
std::string WithHomeAsTilde(const std::string& path, const std::string& home);

}  // namespace moxtrel::platform::wine
