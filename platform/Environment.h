#pragma once
// What the program takes from its process environment, read in this one place:
// the drive map that replaces the mount table, and where the registry store
// lives. The programs read it once at start-up and make their services from it
// (platform/Services.h); nothing else reads the environment.

#include <string>
#include <vector>

namespace moxtrel::platform {

// The environment variable that names a drive map file.
inline constexpr const char* DriveMapVariable = "MOXTREL_VOLUMES";
// The environment variable that names the registry store's file.
inline constexpr const char* RegistryStoreVariable = "MOXTREL_REGISTRY";

struct Environment {
    // $MOXTREL_VOLUMES; empty for the mount table.
    std::string driveMapPath;
    // $MOXTREL_REGISTRY: the registry store file the user chose; empty when
    // unset. Empty means on Windows the current user's own registry, and
    // elsewhere the registry chosen from the values below.
    std::string registryStorePath;

    // Where the registry is looked for on a system without one of its own
    // (platform/wine/RegistryStoreChoice.h); empty when unset, and on Windows.
    std::string homeFolder;     // $HOME, else the user's home folder
    std::string configHome;     // $XDG_CONFIG_HOME
    std::string winePrefix;     // $WINEPREFIX
    std::string programSearchPath;  // $PATH
    std::string temporaryFolder;    // $TMPDIR
    // The whole environment ("NAME=value"), passed on to the Wine programs
    // that are asked for a running prefix's registry.
    std::vector<std::string> variables;

    // The process's environment now.
    static Environment FromProcess();
};

}  // namespace moxtrel::platform
