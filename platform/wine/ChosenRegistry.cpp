#include "platform/wine/ChosenRegistry.h"

#include "platform/StoreRegistry.h"
#include "platform/wine/WineRegistry.h"

namespace moxtrel::platform::wine {

ChosenRegistry::ChosenRegistry(const Environment& environment)
    : m_environment{environment.registryStorePath, environment.winePrefix, environment.homeFolder,
                    environment.configHome} {
    m_wine.searchPath = environment.programSearchPath;
    m_wine.environment = environment.variables;
    m_wine.temporaryFolder = environment.temporaryFolder;
}

Registry& ChosenRegistry::Chosen() const {
    std::call_once(m_choosing, [this] {
        const StoreChoice choice = ChooseRegistryStore(m_environment, m_wine);
        if (choice.kind == StoreChoice::Kind::WinePrefix) {
            m_chosen = std::make_unique<WineRegistry>(choice.path, m_wine, choice.words);
        } else {
            // Kind::None leaves the path empty: every call then says there is
            // no place for the store.
            m_chosen = std::make_unique<StoreRegistry>(choice.path, choice.words);
        }
    });
    return *m_chosen;
}

}  // namespace moxtrel::platform::wine
