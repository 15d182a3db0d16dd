#include "platform/wine/RegistryStoreChoice.h"

#include "platform/File.h"
#include "platform/wine/WinePrefixRegistry.h"

namespace moxtrel::platform::wine {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

StoreChoice FileStore(const std::string& path, const std::string& home) {
    return {StoreChoice::Kind::File, path, WithHomeAsTilde(path, home), {}};
}

// The prefix Wine itself would use: WINEPREFIX (which Wine takes only
// absolute), else ~/.wine.
std::string WinePrefixOf(const StoreEnvironment& environment) {
    if (!environment.winePrefix.empty()) {
        return IsAbsolute(environment.winePrefix) ? WithoutTrailingSlashes(environment.winePrefix) : std::string();
    }
    return environment.home.empty() ? std::string() : WithoutTrailingSlashes(environment.home) + "/.wine";
}

}  // namespace

std::string WithHomeAsTilde(const std::string& path, const std::string& home) {
    const std::string folder = WithoutTrailingSlashes(home);
    if (folder.empty() || folder == "/") return path;
    if (path == folder) return "~";
    if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/') {
        return "~" + path.substr(folder.size());
    }
    return path;
}

StoreChoice ChooseRegistryStore(const StoreEnvironment& environment, const WineCommand& wine) {
    if (!environment.registryFile.empty()) return FileStore(environment.registryFile, environment.home);

    const std::string prefix = WinePrefixOf(environment);
    if (!prefix.empty() && IsFolder(prefix)) {
        const WineResult found = WinePrefixRegistry(prefix, wine).CheckKey(EditorSettingsKey);
        if (found.failure != WineFailure::KeyNotFound && found.failure != WineFailure::NoRegistryFile) {
            return {StoreChoice::Kind::WinePrefix, prefix,
                    "the Wine registry in " + WithHomeAsTilde(prefix, environment.home), found};
        }
    }

    std::string config = environment.configHome;
    if (!IsAbsolute(config)) {
        if (environment.home.empty()) return {};
        config = WithoutTrailingSlashes(environment.home) + "/.config";
    }
    return FileStore(WithoutTrailingSlashes(config) + "/moxtrel/registry.reg", environment.home);
}

}  // namespace moxtrel::platform::wine
