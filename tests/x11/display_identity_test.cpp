// Monitor identity on the virtual server: EDIDs given to the dummy outputs are
// found by readLiveDisplays and by the built program's --dump-displays; the DRM
// connectors are read from a folder tree of the test's own.
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "geometry/arrangement.h"
#include "layouts/display_probe.h"
#include "layouts/live_display.h"
#include "platform/drm_connectors.h"
#include "platform/x11/output_uuid.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "support/edid_builder.h"
#include "support/log_capture.h"
#include "x11_environment.h"
// Last: it brings Xlib, whose macros clash with names above.
#include "program_on_x.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::buildEdid;
using testing::xserver;

using Blob = std::vector<std::uint8_t>;

const Blob kPanelEdid =
    buildEdid({.pnp = "APP", .product = 41234, .serial = 0xFD626D62, .name = "Color LCD"});
const Blob kSamsungEdid = buildEdid({.pnp = "SAM",
                                     .product = 2073,
                                     .serial = 0x01010101,
                                     .serialText = "HTPK123456",
                                     .name = "SAMSUNG"});

void writeFile(const fs::path& path, const Blob& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

// Saved layouts keep these texts: each must come out exactly as first released.
TEST(OutputUUIDTest, KnownUUIDsStayTheSame) {
    const struct {
        Blob edid;
        const char* connector;
        const char* uuid;
    } cases[] = {
        {kSamsungEdid, "HDMI-1", "80D0872D-88DD-5AEB-AF38-FC59CD5E10F2"},
        {kSamsungEdid, "DUMMY1", "8BCD0671-E33A-5F03-811E-FA0D919312E7"},
        {kPanelEdid, "eDP-1", "FBCA1B16-542B-5CAF-9685-FE39E69FA605"},
        {{}, "DUMMY1", "F9C0F35E-6E60-5152-B5B7-1A263E5B9E43"},
        {{}, "", "62F37917-509F-5FC0-AF89-DFBE241B45D2"},
    };
    for (const auto& c : cases) EXPECT_EQ(outputUUID(c.edid, c.connector), c.uuid) << c.connector;
}

TEST(DrmConnectorsTest, ConnectorFoldersAndTheirEDIDs) {
    testing::TempDir root;
    const fs::path r = root.path();
    for (const char* dir : {"card0", "card0-eDP-1", "card0-HDMI-A-1", "card1-DP-3", "renderD128",
                            "cardX-DP-1", "card0-"})
        fs::create_directory(r / dir);
    writeFile(r / "version", std::string("drm 1.1.0\n"));
    writeFile(r / "card0-DP-9", std::string("a file, not a connector"));
    writeFile(r / "card0-eDP-1" / "edid", kPanelEdid);
    writeFile(r / "card0-HDMI-A-1" / "edid", Blob{});  // nothing plugged in
    writeFile(r / "card1-DP-3" / "edid", kSamsungEdid);
    writeFile(r / "card0-eDP-1" / "connector_id", std::string("95\n"));
    writeFile(r / "card1-DP-3" / "connector_id", std::string("97\n"));

    const DrmConnectors drm(r.string());
    const auto services = drm.services();
    ASSERT_EQ(services.size(), 3u);
    EXPECT_EQ(services[0].path, (r / "card0-HDMI-A-1").string());
    EXPECT_EQ(services[1].path, (r / "card0-eDP-1").string());
    EXPECT_EQ(services[2].path, (r / "card1-DP-3").string());
    EXPECT_TRUE(services[0].below.empty());
    EXPECT_EQ(services[1].below["IODisplayEDID"].get_binary(), kPanelEdid);
    EXPECT_TRUE(services[1].properties.empty());

    ASSERT_TRUE(drm.entry((r / "card1-DP-3").string()));
    EXPECT_EQ(drm.entry((r / "card1-DP-3").string())->below["IODisplayEDID"].get_binary(),
              kSamsungEdid);
    EXPECT_FALSE(drm.entry((r / "card0").string()));
    EXPECT_FALSE(drm.entry((r / "card0-DP-9").string()));
    EXPECT_FALSE(drm.entry((r / "card0-DP-404").string()));

    EXPECT_EQ(drm.pathOfConnector(97), (r / "card1-DP-3").string());
    EXPECT_EQ(drm.pathOfConnector(95), (r / "card0-eDP-1").string());
    EXPECT_FALSE(drm.pathOfConnector(96));
    EXPECT_TRUE(DrmConnectors((r / "missing").string()).services().empty());
}

class X11IdentityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setKorean(false);
        ASSERT_NE(xserver(), nullptr);
        ASSERT_TRUE(xserver()->arrange());
        panel = std::uint32_t(testing::outputId("DUMMY0"));
        external = std::uint32_t(testing::outputId("DUMMY1"));
        ASSERT_NE(panel, 0u);
        ASSERT_NE(external, 0u);
        properties.emplace();
        properties->setEdid(panel, kPanelEdid);
        properties->setEdid(external, kSamsungEdid);
        services = X11DisplayServices::open();
        ASSERT_NE(services, nullptr);
        arrangement.emplace(*services);
    }
    void TearDown() override {
        properties.reset();
        ::unsetenv(kNoInfoDictionaryVariable);
        xserver()->arrange();
    }

    std::uint32_t panel = 0;
    std::uint32_t external = 0;
    std::optional<testing::OutputProperties> properties;
    std::unique_ptr<X11DisplayServices> services;
    std::optional<Arrangement> arrangement;
};

TEST_F(X11IdentityTest, ReadLiveDisplaysFindsBothEDIDs) {
    X11DisplayIdentity identity(*services);
    const auto live = readLiveDisplays(*arrangement, identity);
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(live[0].id, panel);
    EXPECT_EQ(live[0].name, "Color LCD");
    EXPECT_TRUE(live[0].isMain);
    EXPECT_EQ(live[0].frame, (Rect{0, 0, 1710, 1112}));
    // Connector DUMMY0 is not a panel connector, so the panel counts as external.
    EXPECT_EQ(live[0].ident,
              (DisplayIdent{.vendor = 1552, .model = 41234, .serialNumber = 0xFD626D62u}));
    EXPECT_EQ(live[1].id, external);
    EXPECT_EQ(live[1].name, "SAMSUNG");
    EXPECT_FALSE(live[1].isMain);
    EXPECT_EQ(live[1].frame, (Rect{1710, 0, 1280, 960}));
    EXPECT_EQ(live[1].ident,
              (DisplayIdent{.vendor = 19501, .model = 2073, .serialString = "HTPK123456"}));
    EXPECT_EQ(live[1].uuid, outputUUID(kSamsungEdid, "DUMMY1"));
    EXPECT_FALSE(hasIndistinguishable(live));

    // The same UUID from a second reader; another EDID gives another one.
    X11DisplayIdentity again(*services);
    EXPECT_EQ(readLiveDisplays(*arrangement, again)[1].uuid, live[1].uuid);
    properties->setEdid(external, buildEdid({.pnp = "SAM", .product = 2073, .serial = 4242}));
    const auto changed = readLiveDisplays(*arrangement, identity);
    EXPECT_NE(changed[1].uuid, live[1].uuid);
    EXPECT_EQ(changed[1].ident.serialNumber, 4242u);
    // No monitor name in that EDID: the connector's name.
    EXPECT_EQ(changed[1].name, "DUMMY1");
}

TEST_F(X11IdentityTest, ProbeNumbersWithoutAnEDID) {
    properties->remove(external, "EDID");
    X11DisplayIdentity identity(*services);
    const DisplayProbe p = probeDisplay(external, *services, identity);
    EXPECT_EQ(p.vendor, 0u);
    EXPECT_EQ(p.model, 0u);
    EXPECT_EQ(p.cgSerial, 0u);
    EXPECT_EQ(p.name, "DUMMY1");
    EXPECT_EQ(p.uuid, outputUUID({}, "DUMMY1"));
    EXPECT_FALSE(p.edid);
    EXPECT_EQ(p.pixels, (std::pair<int, int>{1280, 960}));
    EXPECT_EQ(p.frame, (Rect{1710, 0, 1280, 960}));
}

TEST_F(X11IdentityTest, ConnectorIdNamesTheDRMConnector) {
    testing::TempDir root;
    const fs::path r = root.path();
    fs::create_directory(r / "card0-HDMI-A-1");
    fs::create_directory(r / "card0-DP-1");
    writeFile(r / "card0-HDMI-A-1" / "connector_id", std::string("77\n"));
    writeFile(r / "card0-HDMI-A-1" / "edid", kSamsungEdid);
    writeFile(r / "card0-DP-1" / "connector_id", std::string("78\n"));
    properties->setConnectorId(external, 77);

    X11DisplayIdentity identity(*services, DrmConnectors(r.string()));
    EXPECT_TRUE(identity.infoAvailable());
    const DisplayProbe p = probeDisplay(external, *services, identity);
    EXPECT_EQ(p.ioSource, "location");
    EXPECT_EQ(p.ioPath, (r / "card0-HDMI-A-1").string());
    ASSERT_TRUE(p.edid);
    EXPECT_EQ(p.edid->alnum, "HTPK123456");

    // Switched off, the dictionary is not read; the scan finds the connector by its EDID.
    ::setenv(kNoInfoDictionaryVariable, "1", 1);
    X11DisplayIdentity off(*services, DrmConnectors(r.string()));
    EXPECT_FALSE(off.infoAvailable());
    EXPECT_FALSE(off.info(external));
    const DisplayProbe scanned = probeDisplay(external, *services, off);
    EXPECT_EQ(scanned.ioSource, "scan");
    EXPECT_EQ(scanned.ioPath, (r / "card0-HDMI-A-1").string());
    ASSERT_TRUE(scanned.edid);
    EXPECT_EQ(scanned.edid->name, "SAMSUNG");
    // The numbers still come from the output's EDID.
    EXPECT_EQ(scanned.vendor, 19501u);
    const DisplayProbe other = probeDisplay(panel, *services, off);
    EXPECT_EQ(other.ioSource, "none");
    EXPECT_FALSE(other.edid);

    // Decided at first use: changing the variable later changes nothing.
    ::setenv(kNoInfoDictionaryVariable, "0", 1);
    EXPECT_FALSE(off.infoAvailable());
    X11DisplayIdentity on(*services, DrmConnectors(r.string()));
    EXPECT_TRUE(on.infoAvailable());
}

TEST_F(X11IdentityTest, MirroringDisplayIsLeftOut) {
    int rc = 0;
    xserver()->xrandr("--output DUMMY1 --mode seam1710x1112 --same-as DUMMY0", &rc);
    ASSERT_EQ(rc, 0);
    X11DisplayIdentity identity(*services);
    const auto live = readLiveDisplays(*arrangement, identity);
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live[0].id, panel);

    const auto run = testing::runProgram("--dump-displays");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("display id=" + std::to_string(external) + " [mirrors " +
                           std::to_string(panel) + "]  name=SAMSUNG\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\nset used for layouts: id=" + std::to_string(panel) +
                           "[주] APP/41234 sn#4251086178 (0,0 1710x1112)\n"
                           "indistinguishable displays in this set: no\n"),
              std::string::npos)
        << run.out;
}

TEST_F(X11IdentityTest, DumpDisplaysOfTheBuiltProgram) {
    const std::string p = std::to_string(panel), e = std::to_string(external);
    auto run = testing::runProgram("--dump-displays");
    EXPECT_EQ(run.exitCode, 0);
    const std::string& out = run.out;
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "Seamwright --dump-displays  (CoreDisplay info: available)  backend=x11");
    const std::string externalBlock =
        "\n\ndisplay id=" + e +
        "  name=SAMSUNG\n"
        "  bounds (pt)           1710,0 1280x960   pixels 1280x960\n"
        "  CGDisplayVendorNumber 19501 (0x4c2d, PNP SAM)\n"
        "  CGDisplayModelNumber  2073 (0x819)\n"
        "  CGDisplaySerialNumber 16843009 (0x1010101) (junk → no serial)\n"
        "  CGDisplayUnitNumber   1\n"
        "  CGDisplay UUID        " +
        outputUUID(kSamsungEdid, "DUMMY1") +
        "\n"
        "  IORegistry (none)  -\n"
        "  EDID UUID             -\n"
        "  ProductAttributes     -\n"
        "  AlphanumericSerial    -\n"
        "  raw EDID              vendor SAM product 2073 serial 16843009 (junk → no serial) "
        "alnum HTPK123456 name SAMSUNG\n"
        "  → identity used       vendor=19501 model=2073 serialString=HTPK123456 "
        "serialNumber=nil builtin=false\n";
    EXPECT_NE(out.find(externalBlock), std::string::npos) << out;
    EXPECT_NE(out.find("\n\ndisplay id=" + p +
                       " [main]  name=Color LCD\n"
                       "  bounds (pt)           0,0 1710x1112   pixels 1710x1112\n"
                       "  CGDisplayVendorNumber 1552 (0x610, PNP APP)\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  raw EDID              vendor APP product 41234 serial 4251086178 "
                       "alnum - name Color LCD\n"),
              std::string::npos)
        << out;
    EXPECT_TRUE(out.ends_with("\n\nset used for layouts: id=" + p +
                              "[주] APP/41234 sn#4251086178 (0,0 1710x1112) | id=" + e +
                              " SAM/2073 sn=HTPK123456 (1710,0 1280x960)\n"
                              "indistinguishable displays in this set: no\n"))
        << out;

    run = testing::runProgram("--dump-displays", std::string(kNoInfoDictionaryVariable) + "=1");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "Seamwright --dump-displays  (CoreDisplay info: unavailable)  backend=x11");
    // The numbers stay; the EDID itself is not exposed without the dictionary.
    EXPECT_NE(run.out.find("  CGDisplayVendorNumber 19501 (0x4c2d, PNP SAM)\n"), std::string::npos);
    EXPECT_NE(run.out.find(" SAM/2073 sn=- (1710,0 1280x960)\n"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace seam
