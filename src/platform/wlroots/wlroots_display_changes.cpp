#include "platform/wlroots/wlroots_display_changes.h"

#include "platform/wlroots/wlr_layout.h"

namespace seam {

WlrootsDisplayChanges::WlrootsDisplayChanges(WlrOutputClient& client)
    : CompositorDisplayChanges(
          client, [](WlrOutputClient& c) { return layoutOf(c.heads(), c.shown()).snapshot(); }) {}

}  // namespace seam
