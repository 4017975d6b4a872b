#include "saved_layouts.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>

#include "base/qt/prefs.h"
#include "geometry/arrangement.h"
#include "layouts/layout_file.h"
#include "layouts/layout_plan.h"
#include "layouts/live_display.h"

namespace seam::testing {

void storeLowerLayout(DisplayServices& services, DisplayIdentitySource& identity,
                      const std::string& configHome) {
    Arrangement arrangement(services);
    SavedLayout lower = makeLayout("Lower", readLiveDisplays(arrangement, identity), nullptr, {});
    ASSERT_EQ(lower.displays.size(), 2u);
    const auto right =
        std::max_element(lower.displays.begin(), lower.displays.end(),
                         [](const SavedDisplay& a, const SavedDisplay& b) { return a.x < b.x; });
    right->y += 200;
    const auto bytes = encodeLayoutFile({.layouts = {lower}});
    ASSERT_TRUE(bytes);
    QSettingsStore store(QString::fromStdString(configHome) + "/Seamwright", "Seamwright");
    store.set("layouts.v1", *bytes);
    store.sync();
}

}  // namespace seam::testing
