// The "Saved Layouts" submenu, made afresh each time it is about to open from the
// stored layouts and the monitors attached now.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "layouts/live_display.h"
#include "layouts/saved_layout.h"
#include "shell/hot_key_spec.h"
#include "shell/menu.h"

namespace seam {

// The reason a layout cannot be applied: other monitors than it was saved with.
std::string monitorsDifferText();

// Save (enabled with more than one display); the layouts, each checked when already
// in place or disabled with the reason when its monitors are not attached; the
// suggestion switch; Manage (enabled when there is a layout).
Menu savedLayoutsMenu(const std::vector<LiveDisplay>& live, const std::vector<SavedLayout>& layouts,
                      const std::map<std::string, HotKeySpec>& layoutKeys, bool suggestEnabled);

}  // namespace seam
