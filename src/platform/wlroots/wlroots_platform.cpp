#include "platform/wlroots/wlroots_platform.h"

#include "base/log.h"

namespace seam {

std::unique_ptr<WlrootsPlatformParts> openWlroots(const char* socketName) {
    std::string whyNot;
    auto client = WlrOutputClient::connect(whyNot, socketName);
    if (!client) {
        log("wlroots backend unavailable: " + whyNot);
        return nullptr;
    }
    auto parts = std::make_unique<WlrootsPlatformParts>();
    parts->services = std::make_unique<WlrootsDisplayServices>(*client);
    parts->changes = std::make_unique<WlrootsDisplayChanges>(*client);
    parts->identity = std::make_unique<WlrootsDisplayIdentity>(*client);
    parts->client = std::move(client);
    return parts;
}

}  // namespace seam
