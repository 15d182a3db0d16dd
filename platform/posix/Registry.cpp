#include "platform/Registry.h"

#include "platform/wine/ChosenRegistry.h"

namespace moxtrel::platform {

std::unique_ptr<Registry> MakeRegistry(const Environment& environment) {
    return std::make_unique<wine::ChosenRegistry>(environment);
}

}  // namespace moxtrel::platform
