#include "platform/Registry.h"

#include "platform/StoreRegistry.h"

namespace moxtrel::platform {

// An empty store path (no home folder) still makes a store registry: its
// calls then say that there is no place for the store.
std::unique_ptr<Registry> MakeRegistry(const std::string& storePath) {
    return std::make_unique<StoreRegistry>(storePath);
}

}  // namespace moxtrel::platform
