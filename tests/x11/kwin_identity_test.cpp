// One monitor, one identity in a Plasma session too: the EDID KWin's output
// device carries gives the same DisplayIdent, name and UUID as the same EDID on
// the X11 output.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "geometry/arrangement.h"
#include "layouts/live_display.h"
#include "platform/kwin/kwin_display_identity.h"
#include "platform/kwin/kwin_display_services.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "support/edid_builder.h"
#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

class DevicesOnly : public KwinOutputState {
  public:
    explicit DevicesOnly(std::vector<KwinOutput> outputs) : outputs_(std::move(outputs)) {}
    const std::vector<KwinOutput>& outputs() const override { return outputs_; }
    const std::string& primary() const override { return primary_; }
    KwinApplyOutcome apply(const std::vector<KwinPlacement>&) override {
        return KwinApplyOutcome::failed;
    }

  private:
    std::vector<KwinOutput> outputs_;
    std::string primary_ = "DUMMY0";
};

// As KWin describes the virtual server's outputs; the EDID is the monitor's.
KwinOutput device(std::uint32_t key, const std::string& name, int x,
                  std::vector<std::uint8_t> edid = {}) {
    return {.key = key,
            .name = name,
            .make = "Samsung Electric Company",
            .model = "SAMSUNG",
            .eisaId = "SAM",
            .edid = std::move(edid),
            .enabled = true,
            .modes = {{.key = key + 1, .width = x ? 1280 : 1710, .height = x ? 960 : 1112}},
            .currentMode = key + 1,
            .x = x};
}

TEST(KwinIdentityTest, OneEdidGivesOneIdentity) {
    ASSERT_NE(testing::xserver(), nullptr);
    ASSERT_TRUE(testing::xserver()->arrange());
    const struct {
        const char* what;
        testing::EdidFields edid;
    } cases[] = {
        {"serial text",
         {.pnp = "SAM",
          .product = 2073,
          .serial = 0x01010101,
          .serialText = "HTPK123456",
          .name = "SAMSUNG"}},
        {"serial number only", {.pnp = "DEL", .product = 41156, .serial = 12345678}},
        {"no usable serial", {.pnp = "GSM", .product = 23305, .serial = 0}},
    };
    Display* d = XOpenDisplay(testing::xserver()->name().c_str());
    ASSERT_NE(d, nullptr);
    const RROutput external = testing::outputId("DUMMY1");
    ASSERT_NE(external, 0u);
    const Atom edidAtom = XInternAtom(d, "EDID", False);
    auto x11 = X11DisplayServices::open();
    ASSERT_NE(x11, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto edid = testing::buildEdid(c.edid);
        XRRChangeOutputProperty(d, external, edidAtom, XA_INTEGER, 8, PropModeReplace, edid.data(),
                                int(edid.size()));
        XSync(d, False);
        Arrangement x11Arrangement(*x11);
        X11DisplayIdentity x11Identity(*x11);
        const auto onX11 = readLiveDisplays(x11Arrangement, x11Identity);
        ASSERT_EQ(onX11.size(), 2u);

        testing::TempDir none;
        DevicesOnly compositor({device(10, "DUMMY0", 0), device(20, "DUMMY1", 1710, edid)});
        KwinDisplayServices kwin(compositor);
        Arrangement kwinArrangement(kwin);
        KwinDisplayIdentity kwinIdentity(compositor, DrmConnectors(none.path()));
        const auto onKwin = readLiveDisplays(kwinArrangement, kwinIdentity);
        ASSERT_EQ(onKwin.size(), 2u);

        EXPECT_EQ(onKwin[1].ident, onX11[1].ident);
        EXPECT_EQ(onKwin[1].ident.vendor, edid[8] * 256u + edid[9]);
        EXPECT_EQ(onKwin[1].name, onX11[1].name);
        EXPECT_EQ(onKwin[1].uuid, onX11[1].uuid);
        EXPECT_EQ(onKwin[1].frame, onX11[1].frame);
    }
    XRRDeleteOutputProperty(d, external, edidAtom);
    XSync(d, False);
    XCloseDisplay(d);
}

}  // namespace
}  // namespace seam
