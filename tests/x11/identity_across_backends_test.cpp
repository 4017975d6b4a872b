// One monitor, one identity: the EDID a monitor sends gives the same
// DisplayIdent through the X11 backend (the output's EDID property on the
// virtual server) as through the wlroots backend (the DRM connector named like
// the compositor's head), so a layout saved in one session applies in the other.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <filesystem>
#include <fstream>

#include "geometry/arrangement.h"
#include "layouts/live_display.h"
#include "platform/wlroots/wlroots_display_identity.h"
#include "platform/wlroots/wlroots_display_services.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "support/edid_builder.h"
#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

namespace fs = std::filesystem;

// The compositor's heads, named after the virtual server's outputs.
class HeadsOnly : public WlrOutputState {
  public:
    explicit HeadsOnly(std::vector<WlrHead> heads) : heads_(std::move(heads)) {}
    const std::vector<WlrHead>& heads() const override { return heads_; }
    const std::vector<WlrShownOutput>& shown() const override { return shown_; }
    WlrApplyOutcome apply(const std::vector<WlrHeadSetting>&, bool) override {
        return WlrApplyOutcome::failed;
    }

  private:
    std::vector<WlrHead> heads_;
    std::vector<WlrShownOutput> shown_;
};

WlrHead head(std::uint32_t key, const std::string& name, int x) {
    return {.key = key,
            .name = name,
            // What a compositor makes of the EDID; the connector's EDID wins over it.
            .make = "Samsung Electric Company",
            .model = "SAMSUNG",
            .enabled = true,
            .modes = {{.key = key + 1, .width = x ? 1280 : 1710, .height = x ? 960 : 1112}},
            .currentMode = key + 1,
            .x = x};
}

void setEdid(Display* d, RROutput output, const std::vector<std::uint8_t>& edid) {
    const Atom atom = XInternAtom(d, "EDID", False);
    if (edid.empty())
        XRRDeleteOutputProperty(d, output, atom);
    else
        XRRChangeOutputProperty(d, output, atom, XA_INTEGER, 8, PropModeReplace, edid.data(),
                                int(edid.size()));
    XSync(d, False);
}

TEST(IdentityAcrossBackendsTest, OneEdidGivesOneIdentity) {
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
    auto x11 = X11DisplayServices::open();
    ASSERT_NE(x11, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto edid = testing::buildEdid(c.edid);
        setEdid(d, external, edid);
        Arrangement x11Arrangement(*x11);
        X11DisplayIdentity x11Identity(*x11);
        const auto onX11 = readLiveDisplays(x11Arrangement, x11Identity);
        ASSERT_EQ(onX11.size(), 2u);

        testing::TempDir tmp;
        const fs::path root = tmp.path();
        fs::create_directory(root / "card0-DUMMY1");
        std::ofstream(root / "card0-DUMMY1" / "edid", std::ios::binary)
            .write(reinterpret_cast<const char*>(edid.data()), std::streamsize(edid.size()));
        HeadsOnly compositor({head(10, "DUMMY0", 0), head(20, "DUMMY1", 1710)});
        WlrootsDisplayServices wlr(compositor);
        Arrangement wlrArrangement(wlr);
        WlrootsDisplayIdentity wlrIdentity(compositor, DrmConnectors(root.string()));
        const auto onWlroots = readLiveDisplays(wlrArrangement, wlrIdentity);
        ASSERT_EQ(onWlroots.size(), 2u);

        EXPECT_EQ(onWlroots[1].ident, onX11[1].ident);
        EXPECT_EQ(onWlroots[1].ident.vendor, edid[8] * 256u + edid[9]);
        EXPECT_EQ(onWlroots[1].name, onX11[1].name);
        EXPECT_EQ(onWlroots[1].uuid, onX11[1].uuid);
        EXPECT_EQ(onWlroots[1].frame, onX11[1].frame);
    }
    setEdid(d, external, {});
    XCloseDisplay(d);
}

}  // namespace
}  // namespace seam
