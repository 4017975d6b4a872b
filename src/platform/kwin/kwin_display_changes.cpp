#include "platform/kwin/kwin_display_changes.h"

#include "platform/kwin/kwin_layout.h"

namespace seam {

KwinDisplayChanges::KwinDisplayChanges(KwinOutputClient& client)
    : CompositorDisplayChanges(client, [](KwinOutputClient& c) {
          return layoutOf(c.outputs(), c.primary()).snapshot();
      }) {}

}  // namespace seam
