#include "platform/kwin/kwin_platform.h"

#include "base/log.h"

namespace seam {

std::unique_ptr<KwinPlatformParts> openKwin(const char* socketName) {
    std::string whyNot;
    auto client = KwinOutputClient::connect(whyNot, socketName);
    if (!client) {
        log("kwin backend unavailable: " + whyNot);
        return nullptr;
    }
    auto parts = std::make_unique<KwinPlatformParts>();
    parts->services = std::make_unique<KwinDisplayServices>(*client);
    parts->changes = std::make_unique<KwinDisplayChanges>(*client);
    parts->identity = std::make_unique<KwinDisplayIdentity>(*client);
    parts->client = std::move(client);
    return parts;
}

}  // namespace seam
