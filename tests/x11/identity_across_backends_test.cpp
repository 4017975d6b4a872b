// One monitor, one identity: the EDID a monitor sends gives the same identity
// through the X11 output's EDID property as through the wlroots head (its DRM
// connector), the KWin output device and the GNOME compositor (with its DRM
// connector, and without one), so a layout saved in one session applies in the others.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "geometry/arrangement.h"
#include "kwin/devices_only.h"
#include "layouts/display_probe.h"
#include "layouts/live_display.h"
#include "platform/gnome/gnome_display.h"
#include "platform/kwin/kwin_display_identity.h"
#include "platform/kwin/kwin_display_services.h"
#include "platform/wlroots/wlroots_display_identity.h"
#include "platform/wlroots/wlroots_display_services.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "support/edid_builder.h"
#include "support/fake_mutter.h"
#include "support/log_capture.h"
#include "x11_environment.h"
// Last: it brings Xlib, whose macros clash with names above.
#include "program_on_x.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using Blob = std::vector<std::uint8_t>;

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

// What a compositor makes of the EDID; the EDID itself wins over it.
WlrHead head(std::uint32_t key, const std::string& name, int x) {
    return {.key = key,
            .name = name,
            .make = "Samsung Electric Company",
            .model = "SAMSUNG",
            .enabled = true,
            .modes = {{.key = key + 1, .width = x ? 1280 : 1710, .height = x ? 960 : 1112}},
            .currentMode = key + 1,
            .x = x};
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void expectSameMonitor(const LiveDisplay& other, const LiveDisplay& x11, const Blob& edid) {
    EXPECT_EQ(other.ident, x11.ident);
    EXPECT_EQ(other.ident.vendor, edid[8] * 256u + edid[9]);
    EXPECT_EQ(other.name, x11.name);
    EXPECT_EQ(other.uuid, x11.uuid);
    EXPECT_EQ(other.frame, x11.frame);
}

TEST(IdentityAcrossBackendsTest, OneEdidGivesOneIdentity) {
    struct Case {
        const char* name;
        testing::EdidFields edid;
        // How the GNOME compositor describes that monitor.
        std::string vendor, product, serial;
    };
    // clang-format off
    const Case cases[] = {
        {"name and serial text", {.pnp = "SAM", .product = 2073, .serial = 0x01010101,
                                  .serialText = "HTPK123456", .name = "SAMSUNG"},
         "SAM", "SAMSUNG", "HTPK123456"},
        {"serial number only", {.pnp = "DEL", .product = 41139, .serial = 12345},
         "DEL", "0xa0b3", "0x00003039"},
        {"nothing usable", {.pnp = "GSM", .product = 23305, .serial = 0x01010101},
         "GSM", "0x5b09", "0x01010101"},
    };
    // clang-format on
    ASSERT_NE(testing::xserver(), nullptr);
    ASSERT_TRUE(testing::xserver()->arrange());
    const auto external = std::uint32_t(testing::outputId("DUMMY1"));
    ASSERT_NE(external, 0u);
    testing::OutputProperties properties;
    auto x11 = X11DisplayServices::open();
    ASSERT_NE(x11, nullptr);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Blob edid = testing::buildEdid(c.edid);
        const std::string edidBytes(edid.begin(), edid.end());
        testing::TempDir root;
        const fs::path r = root.path();
        // The wlroots head names its connector; the X11 output and GNOME find
        // theirs by the connector number.
        for (const char* connector : {"card0-DUMMY1", "card0-HDMI-A-1"}) {
            fs::create_directory(r / connector);
            writeFile(r / connector / "edid", edidBytes);
        }
        writeFile(r / "card0-HDMI-A-1" / "connector_id", "77\n");
        properties.setEdid(external, edid);
        properties.setConnectorId(external, 77);

        Arrangement x11Arrangement(*x11);
        X11DisplayIdentity onX11(*x11, DrmConnectors(r.string()));
        const auto liveX11 = readLiveDisplays(x11Arrangement, onX11);
        ASSERT_EQ(liveX11.size(), 2u);
        const DisplayProbe x = probeDisplay(external, *x11, onX11);
        ASSERT_TRUE(x.edid);

        {
            SCOPED_TRACE("wlroots");
            HeadsOnly compositor({head(10, "DUMMY0", 0), head(20, "DUMMY1", 1710)});
            WlrootsDisplayServices wlr(compositor);
            Arrangement arrangement(wlr);
            WlrootsDisplayIdentity identity(compositor, DrmConnectors(r.string()));
            const auto live = readLiveDisplays(arrangement, identity);
            ASSERT_EQ(live.size(), 2u);
            expectSameMonitor(live[1], liveX11[1], edid);
        }
        {
            SCOPED_TRACE("KWin");
            DevicesOnly compositor({device(10, "DUMMY0", 0), device(20, "DUMMY1", 1710, edid)});
            KwinDisplayServices kwin(compositor);
            Arrangement arrangement(kwin);
            KwinDisplayIdentity identity(compositor, DrmConnectors((r / "none").string()));
            const auto live = readLiveDisplays(arrangement, identity);
            ASSERT_EQ(live.size(), 2u);
            expectSameMonitor(live[1], liveX11[1], edid);
        }

        SCOPED_TRACE("GNOME");
        auto compositor = std::make_shared<testing::FakeMutter>();
        compositor->state = {
            .monitors = {testing::monitorOn("eDP-1", 1920, 1200, "AUO", "0x213e", "0x00000000"),
                         testing::monitorOn("HDMI-1", 1920, 1080, c.vendor, c.product, c.serial)},
            .logical = {{.x = 0, .y = 0, .primary = true, .connectors = {"eDP-1"}},
                        {.x = 1920, .y = 0, .connectors = {"HDMI-1"}}}};
        const std::uint32_t hdmi = ConnectorIds().idFor("HDMI-1");
        GnomeDisplayServices gnome(compositor, DrmConnectors(r.string()));
        GnomeDisplayIdentity onGnome(gnome);
        const DisplayProbe g = probeDisplay(hdmi, gnome, onGnome);
        EXPECT_EQ(g.ident(), x.ident());
        EXPECT_EQ(g.edid, x.edid);
        EXPECT_EQ(g.ioPath, x.ioPath);

        // No DRM connector to be read (another machine's layout, a sandbox): the
        // compositor's description stands for the EDID. Only a product code it
        // writes as a name cannot be recovered.
        GnomeDisplayServices blind(compositor, DrmConnectors((r / "none").string()));
        GnomeDisplayIdentity onBlind(blind);
        const DisplayIdent fallback = probeDisplay(hdmi, blind, onBlind).ident();
        EXPECT_EQ(fallback.vendor, x.ident().vendor);
        EXPECT_EQ(fallback.serialNumber, x.ident().serialNumber);
        EXPECT_EQ(fallback.serialString, x.ident().serialString);
        if (!c.edid.name) {
            EXPECT_EQ(fallback, x.ident());
        }
    }
}

}  // namespace
}  // namespace seam
