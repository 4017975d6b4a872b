#include "platform/platform.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace seam {

void PrintTo(const Abilities& a, std::ostream* os) {
    *os << limitsLine("", a).value_or("everything");
}

namespace {

TEST(PlatformLimits, WhatIsMissingIsNamedOnceInOneLine) {
    struct Case {
        Abilities has;
        std::optional<std::string> line;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{.pointerFeed = false, .warp = false},
         "platform sim: no global pointer events, gestures off; no pointer warp after moves"},
        {{.warp = false}, "platform sim: no pointer warp after moves"},
        {{.displayChanges = false},
         "platform sim: no display change events, suggestions only at launch"},
        {{.hotKeys = false, .loginItem = false, .wake = false},
         "platform sim: no key grabs, hot keys through the desktop; no "
         "login item; no wake events"},
        {{.pointerFeed = false, .warp = false, .hotKeys = false, .placeWindows = false},
         "platform sim: no global pointer events, gestures off; no pointer warp after moves; no "
         "key grabs, hot keys through the desktop; windows placed by the compositor"},
        {{.placeWindows = false, .coverOutputs = false},
         "platform sim: windows placed by the compositor; no window covers one monitor, align "
         "mode off"},
    };
    for (const Case& c : cases) {
        SimPlatform platform(c.has);
        // What the platform reports of itself is what it was built with.
        EXPECT_EQ(abilitiesOf(platform), c.has);
        EXPECT_EQ(limitsLine(platform.name(), abilitiesOf(platform)), c.line);
    }
}

}  // namespace
}  // namespace seam
