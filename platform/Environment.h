#pragma once
// What the program takes from its process environment, read in this one place:
// the drive map that replaces the mount table, and where the registry store
// lives. The programs read it once at start-up and make their services from it
// (platform/Services.h); nothing else reads the environment.

#include <string>

namespace moxtrel::platform {

// The environment variable that names a drive map file.
inline constexpr const char* DriveMapVariable = "MOXTREL_VOLUMES";
// The environment variable that names the registry store's file.
inline constexpr const char* RegistryStoreVariable = "MOXTREL_REGISTRY";

struct Environment {
    // $MOXTREL_VOLUMES; empty for the mount table.
    std::string driveMapPath;
    // $MOXTREL_REGISTRY when set, else $XDG_CONFIG_HOME/moxtrel/registry.reg,
    // with ~/.config when XDG_CONFIG_HOME is unset or not absolute. Empty when
    // no home directory can be found. On Windows only $MOXTREL_REGISTRY: empty
    // there means the current user's own registry.
    std::string registryStorePath;

    // The process's environment now.
    static Environment FromProcess();
};

}  // namespace moxtrel::platform
