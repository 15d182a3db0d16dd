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

std::string HomeFolder() {
    if (std::string home = Variable("HOME"); !home.empty()) return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
    return {};
}

}  // namespace

Environment Environment::FromProcess() {
    Environment environment;
    environment.driveMapPath = Variable(DriveMapVariable);
    environment.registryStorePath = Variable(RegistryStoreVariable);
    environment.homeFolder = HomeFolder();
    environment.configHome = Variable("XDG_CONFIG_HOME");
    environment.winePrefix = Variable("WINEPREFIX");
    environment.programSearchPath = Variable("PATH");
    environment.temporaryFolder = Variable("TMPDIR");
    for (char** entry = environ; *entry; ++entry) environment.variables.emplace_back(*entry);
    return environment;
}

}  // namespace moxtrel::platform
