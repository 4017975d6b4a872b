// The wlroots backend's parts on one compositor connection.
#pragma once

#include <memory>

#include "platform/wlroots/wlr_output_client.h"
#include "platform/wlroots/wlroots_display_changes.h"
#include "platform/wlroots/wlroots_display_identity.h"
#include "platform/wlroots/wlroots_display_services.h"

namespace seam {

struct WlrootsPlatformParts {
    std::unique_ptr<WlrOutputClient> client;  // first: the others use it
    std::unique_ptr<WlrootsDisplayServices> services;
    std::unique_ptr<WlrootsDisplayChanges> changes;
    std::unique_ptr<WlrootsDisplayIdentity> identity;
};

// nullptr, with the reason logged, when there is no compositor or it offers no
// output management. socketName nullptr: the session's WAYLAND_DISPLAY.
std::unique_ptr<WlrootsPlatformParts> openWlroots(const char* socketName = nullptr);

}  // namespace seam
