// Display reconfiguration events on KWin: every completed change of an output
// device (or of the primary output) is compared with the previous state, and
// each display that differs is reported with its flags.
#pragma once

#include "platform/kwin/kwin_output_client.h"
#include "platform/qt/compositor_display_changes.h"

namespace seam {

class KwinDisplayChanges : public CompositorDisplayChanges<KwinOutputClient> {
  public:
    explicit KwinDisplayChanges(KwinOutputClient& client);
};

}  // namespace seam
