#include "platform/Environment.h"

#include <cstdlib>

#include "platform/win32/Unicode.h"

namespace moxtrel::platform {

namespace {

// A variable of the process's environment, read through the wide interface so
// a path that is not ASCII arrives whole. Unset, or not expressible in UTF-8,
// reads as empty.
std::string Variable(const char* name) {
    const std::optional<std::wstring> wideName = Widen(name);
    if (!wideName) return {};
    const wchar_t* value = ::_wgetenv(wideName->c_str());
    if (!value) return {};
    return Narrow(value).value_or(std::string());
}

}  // namespace

// Without MOXTREL_REGISTRY the store path stays empty: the program then uses
// the current user's own registry, not a file.
Environment Environment::FromProcess() {
    Environment environment;
    environment.driveMapPath = Variable(DriveMapVariable);
    environment.registryStorePath = Variable(RegistryStoreVariable);
    return environment;
}

}  // namespace moxtrel::platform
