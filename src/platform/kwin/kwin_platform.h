// The KWin backend's parts on one compositor connection.
#pragma once

#include <memory>

#include "platform/kwin/kwin_display_changes.h"
#include "platform/kwin/kwin_display_identity.h"
#include "platform/kwin/kwin_display_services.h"
#include "platform/kwin/kwin_output_client.h"

namespace seam {

struct KwinPlatformParts {
    std::unique_ptr<KwinOutputClient> client;  // first: the others use it
    std::unique_ptr<KwinDisplayServices> services;
    std::unique_ptr<KwinDisplayChanges> changes;
    std::unique_ptr<KwinDisplayIdentity> identity;
};

// nullptr, with the reason logged, when there is no compositor or it offers no
// output management. socketName nullptr: the session's WAYLAND_DISPLAY.
std::unique_ptr<KwinPlatformParts> openKwin(const char* socketName = nullptr);

}  // namespace seam
