// Without an EDID (KWin's virtual outputs, some adapters) the compositor's
// maker code and texts stand in, as on the other Wayland backends.
#include <gtest/gtest.h>

#include "geometry/arrangement.h"
#include "kwin/devices_only.h"
#include "layouts/live_display.h"
#include "platform/kwin/kwin_display_identity.h"
#include "platform/kwin/kwin_display_services.h"
#include "support/log_capture.h"

namespace seam {
namespace {

TEST(KwinIdentityTest, WithoutEdidTheMakerCodeStandsIn) {
    testing::TempDir none;
    DevicesOnly compositor({device(10, "DUMMY0", 0), device(20, "DUMMY1", 1710)});
    KwinDisplayServices kwin(compositor);
    Arrangement arrangement(kwin);
    KwinDisplayIdentity identity(compositor, DrmConnectors(none.path()));
    const auto live = readLiveDisplays(arrangement, identity);
    ASSERT_EQ(live.size(), 2u);
    // "SAM" is the maker code an EDID would carry.
    EXPECT_EQ(live[1].ident.vendor, 0x4C2Du);
    EXPECT_EQ(live[1].name, "DUMMY1");
}

}  // namespace
}  // namespace seam
