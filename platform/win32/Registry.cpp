#include "platform/Registry.h"

#include "platform/Environment.h"
#include "platform/StoreRegistry.h"
#include "platform/win32/SystemRegistry.h"

namespace moxtrel::platform {

std::unique_ptr<Registry> MakeRegistry(const Environment& environment) {
    if (environment.registryStorePath.empty()) return std::make_unique<SystemRegistry>();
    return std::make_unique<StoreRegistry>(environment.registryStorePath);
}

}  // namespace moxtrel::platform
