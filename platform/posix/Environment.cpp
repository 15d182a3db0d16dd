#include "platform/Environment.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace moxtrel::platform {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string RegistryStorePathFromProcess() {
    if (std::string store = Variable(RegistryStoreVariable); !store.empty()) return store;
    std::string config = Variable("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        std::string home = Variable("HOME");
        if (home.empty()) {
            if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) home = user->pw_dir;
        }
        if (home.empty()) return {};
        config = home + "/.config";
    }
    return config + "/moxtrel/registry.reg";
}

}  // namespace

Environment Environment::FromProcess() {
    return Environment{Variable(DriveMapVariable), RegistryStorePathFromProcess()};
}

}  // namespace moxtrel::platform
