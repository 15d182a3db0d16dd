#include "platform/Services.h"

namespace moxtrel::platform {

Services MakeServices(const Environment& environment) {
    Services services;
    if (environment.driveMapPath.empty()) {
        services.drives = MakeSystemDrives();
    } else {
        services.drives = std::make_unique<DriveMapDrives>(environment.driveMapPath);
    }
    services.registry = MakeRegistry(environment);
    return services;
}

}  // namespace moxtrel::platform
