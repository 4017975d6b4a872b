// Display reconfiguration events on a wlroots compositor: every completed
// change of the heads (or of what the compositor shows) is compared with the
// previous state, and each display that differs is reported with its flags.
#pragma once

#include "platform/qt/compositor_display_changes.h"
#include "platform/wlroots/wlr_output_client.h"

namespace seam {

class WlrootsDisplayChanges : public CompositorDisplayChanges<WlrOutputClient> {
  public:
    explicit WlrootsDisplayChanges(WlrOutputClient& client);
};

}  // namespace seam
