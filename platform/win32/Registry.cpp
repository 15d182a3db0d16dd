#include "platform/Registry.h"

#include "platform/StoreRegistry.h"
#include "platform/win32/SystemRegistry.h"

namespace moxtrel::platform {

std::unique_ptr<Registry> MakeRegistry(const std::string& storePath) {
    if (storePath.empty()) return std::make_unique<SystemRegistry>();
    return std::make_unique<StoreRegistry>(storePath);
}

}  // namespace moxtrel::platform
