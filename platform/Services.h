#pragma once
// The services a program makes once, at its start, from its environment, and
// hands by reference to everything below: the drives and the registry.

#include <memory>

#include "platform/Drives.h"
#include "platform/Environment.h"
#include "platform/Registry.h"

namespace moxtrel::platform {

struct Services {
    std::unique_ptr<Drives> drives;
    std::unique_ptr<Registry> registry;
};

// The drives of the drive map `environment` names, else the system's own
// (MakeSystemDrives); the registry it names or that is chosen from it
// (MakeRegistry). Nothing is read yet: a registry is chosen when first asked.
Services MakeServices(const Environment& environment);

}  // namespace moxtrel::platform
