// A monitor is the same monitor in an X11 session and in a GNOME session: one
// EDID read through the RandR output and through the compositor (with its DRM
// connector, and without one) gives one identity.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <filesystem>
#include <fstream>

#include "layouts/display_probe.h"
#include "platform/gnome/gnome_display.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "support/edid_builder.h"
#include "support/fake_mutter.h"
#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::buildEdid;
using testing::xserver;
using Blob = std::vector<std::uint8_t>;

void setProperty(Display* d, RROutput output, const char* name, Atom type, int format,
                 const unsigned char* data, int count) {
    XRRChangeOutputProperty(d, output, XInternAtom(d, name, False), type, format, PropModeReplace,
                            data, count);
    XSync(d, False);
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(SessionIdentityTest, OneEdidOneIdentityInEverySession) {
    struct Case {
        const char* name;
        testing::EdidFields edid;
        // How the compositor describes that monitor.
        std::string vendor, product, serial;
    };
    const Case cases[] = {
        {"name and serial text",
         {.pnp = "SAM",
          .product = 2073,
          .serial = 0x01010101,
          .serialText = "HTPK123456",
          .name = "SAMSUNG"},
         "SAM",
         "SAMSUNG",
         "HTPK123456"},
        {"serial number only",
         {.pnp = "DEL", .product = 41139, .serial = 12345},
         "DEL",
         "0xa0b3",
         "0x00003039"},
        {"nothing usable",
         {.pnp = "GSM", .product = 23305, .serial = 0x01010101},
         "GSM",
         "0x5b09",
         "0x01010101"},
    };
    ASSERT_NE(xserver(), nullptr);
    ASSERT_TRUE(xserver()->arrange());
    const auto external = std::uint32_t(testing::outputId("DUMMY1"));
    ASSERT_NE(external, 0u);
    Display* d = XOpenDisplay(xserver()->name().c_str());
    ASSERT_NE(d, nullptr);
    auto x11 = X11DisplayServices::open();
    ASSERT_NE(x11, nullptr);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Blob edid = buildEdid(c.edid);
        testing::TempDir root;
        const fs::path r = root.path();
        fs::create_directory(r / "card0-HDMI-A-1");
        writeFile(r / "card0-HDMI-A-1" / "edid", std::string(edid.begin(), edid.end()));
        writeFile(r / "card0-HDMI-A-1" / "connector_id", "77\n");
        setProperty(d, external, "EDID", XA_INTEGER, 8, edid.data(), int(edid.size()));
        long connector = 77;
        setProperty(d, external, "CONNECTOR_ID", XA_INTEGER, 32,
                    reinterpret_cast<unsigned char*>(&connector), 1);
        X11DisplayIdentity onX11(*x11, DrmConnectors(r.string()));
        const DisplayProbe x = probeDisplay(external, *x11, onX11);
        ASSERT_TRUE(x.edid);

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
    for (const char* name : {"EDID", "CONNECTOR_ID"})
        XRRDeleteOutputProperty(d, external, XInternAtom(d, name, False));
    XSync(d, False);
    XCloseDisplay(d);
}

}  // namespace
}  // namespace seam
