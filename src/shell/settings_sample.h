// What the settings rendering of the command line shows: two monitors, two layouts.
#pragma once

#include <vector>

#include "layouts/saved_layout.h"
#include "shell/shortcut_keys.h"

namespace seam {

struct SettingsSample {
    std::vector<SavedLayout> layouts;
    KeySpecs specs;
};
SettingsSample settingsSample();

}  // namespace seam
