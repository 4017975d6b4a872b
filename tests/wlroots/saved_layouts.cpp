#include "saved_layouts.h"

#include <gtest/gtest.h>

#include <QString>

#include "base/qt/prefs.h"
#include "geometry/arrangement.h"
#include "layouts/layout_file.h"
#include "layouts/layout_plan.h"
#include "layouts/live_display.h"
#include "platform/wlroots/wlroots_platform.h"

namespace seam::testing {

void storeLowerLayout(const HeadlessSway& sway, const std::string& configHome) {
    auto parts = openWlroots(sway.socket().c_str());
    ASSERT_NE(parts, nullptr);
    Arrangement arrangement(*parts->services);
    SavedLayout lower =
        makeLayout("Lower", readLiveDisplays(arrangement, *parts->identity), nullptr, {});
    ASSERT_EQ(lower.displays.size(), 2u);
    lower.displays[1].y += 200;
    const auto bytes = encodeLayoutFile({.layouts = {lower}});
    ASSERT_TRUE(bytes);
    QSettingsStore store(QString::fromStdString(configHome) + "/Seamwright", "Seamwright");
    store.set("layouts.v1", *bytes);
    store.sync();
}

}  // namespace seam::testing
