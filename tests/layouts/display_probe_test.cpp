// Probing one display over the simulated window server: the window server's own
// numbers, the info dictionary, the registry entry it names, and the registry scan
// with its rule for several monitors of one model.
#include "layouts/display_probe.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "geometry/arrangement.h"
#include "layouts/live_display.h"
#include "platform/sim/sim_display_server.h"
#include "support/edid_builder.h"

namespace seam {
namespace {

using nlohmann::json;
using testing::buildEdid;

const auto kSamsung = buildEdid({.pnp = "SAM",
                                 .product = 2073,
                                 .serial = 0x01010101,
                                 .serialText = "HTPK123456",
                                 .name = "SAMSUNG"});
const auto kPanel = buildEdid({.pnp = "APP", .product = 41234, .serial = 0, .name = "Color LCD"});

json bytes(const std::vector<std::uint8_t>& b) {
    return json::binary(b);
}

RegistryEntry connector(const std::string& path, const std::vector<std::uint8_t>& edid) {
    RegistryEntry e{.path = path};
    if (!edid.empty()) e.below["IODisplayEDID"] = bytes(edid);
    return e;
}

class ProbeDisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setKorean(false);
        sim.addDisplay({.id = 1,
                        .frame = {0, 0, 1512, 982},
                        .builtin = true,
                        .name = "Built-in Retina Display",
                        .edid = kPanel,
                        .vendor = 1552,
                        .model = 41234,
                        .serial = 0,
                        .unit = 0,
                        .uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230"});
        sim.addDisplay({.id = 3,
                        .frame = {1512, -24, 1920, 1080},
                        .name = "SAMSUNG",
                        .edid = kSamsung,
                        .vendor = 19501,
                        .model = 2073,
                        .serial = 0x01010101,
                        .unit = 1,
                        .uuid = "8F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"});
    }

    DisplayProbe probe(std::uint32_t id) { return probeDisplay(id, sim, sim); }

    SimDisplayServer sim;
};

// The window server's numbers as read are in the display dump's test.
TEST_F(ProbeDisplayTest, DictionaryEDIDNamesTheMonitorWhenEverySerialIsAPlaceholder) {
    const DisplayProbe p = probe(3);
    EXPECT_EQ(p.ioSource, "none");
    ASSERT_TRUE(p.edid);
    EXPECT_EQ(p.edid->alnum, "HTPK123456");
    // Every serial number is a placeholder; the EDID's text identifies the monitor.
    EXPECT_EQ(p.ident(),
              (DisplayIdent{.vendor = 19501, .model = 2073, .serialString = "HTPK123456"}));

    const DisplayProbe panel = probe(1);
    EXPECT_TRUE(panel.builtin);
    EXPECT_TRUE(panel.isMain);
    EXPECT_EQ(panel.ident(), (DisplayIdent{.vendor = 1552, .model = 41234, .builtin = true}));
}

TEST_F(ProbeDisplayTest, EntryNamedByTheDictionary) {
    sim.find(3)->registryPath = "/reg/card0-DP-1";
    RegistryEntry e =
        connector("/reg/card0-DP-1", buildEdid({.pnp = "SAM", .product = 1, .serial = 99}));
    e.properties["DisplayAttributes"] = {
        {"ProductAttributes",
         {{"AlphanumericSerialNumber", "IOSN1"}, {"SerialNumber", 778}, {"ProductID", 2073}}}};
    e.properties["EDID UUID"] = "4C2D1908-0000-0000-0000-000000000000";
    sim.registry = {connector("/reg/card0-HDMI-A-1", kSamsung), e};

    const DisplayProbe p = probe(3);
    EXPECT_EQ(p.ioSource, "location");
    EXPECT_EQ(p.ioPath, "/reg/card0-DP-1");
    EXPECT_EQ(p.ioAlnum, "IOSN1");
    EXPECT_EQ(p.ioSerialNumber, 778u);
    EXPECT_EQ(p.edidUUID, "4C2D1908-0000-0000-0000-000000000000");
    ASSERT_TRUE(p.productAttributes);
    EXPECT_EQ((*p.productAttributes)["ProductID"], 2073);
    // The dictionary's EDID came first; the entry's is not read.
    ASSERT_TRUE(p.edid);
    EXPECT_EQ(p.edid->product, 2073u);
    EXPECT_EQ(p.ident().serialNumber, 778u);
    EXPECT_EQ(p.ident().serialString, "IOSN1");

    // Without the dictionary's EDID the entry's is read, under its other name too.
    sim.find(3)->edid.clear();
    sim.registry[1].below = {{"IODisplayEDIDOriginal", bytes(kSamsung)}};
    const DisplayProbe q = probe(3);
    EXPECT_EQ(q.ioSource, "location");
    ASSERT_TRUE(q.edid);
    EXPECT_EQ(q.edid->name, "SAMSUNG");
}

TEST_F(ProbeDisplayTest, ScanFindsTheOneFittingService) {
    sim.setInfoAvailable(false);
    sim.registry = {
        connector("/reg/card0-DP-2", {}),  // nothing plugged in: vendor 0, dropped
        connector("/reg/card0-eDP-1", kPanel),
        connector("/reg/card0-HDMI-A-1", kSamsung),
    };
    const DisplayProbe p = probe(3);
    EXPECT_EQ(p.ioSource, "scan");
    EXPECT_EQ(p.ioPath, "/reg/card0-HDMI-A-1");
    EXPECT_EQ(p.ioSerialNumber, 0x01010101u);  // the EDID's, standing in for the registry's
    ASSERT_TRUE(p.edid);
    EXPECT_EQ(p.edid->alnum, "HTPK123456");

    // A service of the same model with another serial number is not this monitor.
    sim.registry = {connector("/reg/card0-HDMI-A-1",
                              buildEdid({.pnp = "SAM", .product = 2073, .serial = 5555}))};
    EXPECT_EQ(probe(3).ioSource, "none");
    EXPECT_FALSE(probe(3).edid);
}

TEST_F(ProbeDisplayTest, ScanWithTheDictionaryMissingItsLocation) {
    // Available, EDID given, but no location: the scan still adds the registry's path.
    sim.registry = {connector("/reg/card0-HDMI-A-1", kSamsung)};
    const DisplayProbe p = probe(3);
    EXPECT_EQ(p.ioSource, "scan");
    EXPECT_EQ(p.ioPath, "/reg/card0-HDMI-A-1");

    // A location that names no entry falls back to the scan too.
    sim.find(3)->registryPath = "/reg/card9-gone";
    EXPECT_EQ(probe(3).ioSource, "scan");
}

TEST_F(ProbeDisplayTest, ScanRefusesToGuessBetweenDifferentMonitorsOfOneModel) {
    sim.setInfoAvailable(false);
    SimDisplay* d = sim.find(3);
    d->vendor = 4268;  // DEL
    d->model = 41156;
    d->serial = 0;
    const auto dell = [](const char* text) {
        return buildEdid({.pnp = "DEL", .product = 41156, .serial = 0, .serialText = text});
    };
    sim.registry = {connector("/reg/card0-DP-1", dell("CN0ABC1")),
                    connector("/reg/card0-DP-2", dell("CN0XYZ2"))};
    DisplayProbe p = probe(3);
    EXPECT_EQ(p.ioSource, "none");
    EXPECT_FALSE(p.ioPath);
    EXPECT_FALSE(p.edid);

    // Placeholder texts are no difference: both keys are empty, the first is taken.
    sim.registry = {connector("/reg/card0-DP-1", dell("0000000")),
                    connector("/reg/card0-DP-2", dell("   "))};
    p = probe(3);
    EXPECT_EQ(p.ioSource, "scan");
    EXPECT_EQ(p.ioPath, "/reg/card0-DP-1");
}

TEST_F(ProbeDisplayTest, ScanOfServicesWithProductAttributes) {
    sim.setInfoAvailable(false);
    RegistryEntry e{.path = "/reg/AppleCLCD2"};
    e.properties["DisplayAttributes"] = {{"ProductAttributes",
                                          {{"LegacyManufacturerID", 19501},
                                           {"ProductID", 2073},
                                           {"SerialNumber", 16843009},
                                           {"AlphanumericSerialNumber", "HTPK123456"}}}};
    e.below["IODisplayEDID"] = bytes(kSamsung);
    sim.registry = {e};
    DisplayProbe p = probe(3);
    EXPECT_EQ(p.ioSource, "scan");
    EXPECT_EQ(p.ioAlnum, "HTPK123456");
    EXPECT_EQ(p.ioSerialNumber, 16843009u);

    // The attributes decide vendor and model, not the EDID.
    sim.registry[0].properties["DisplayAttributes"]["ProductAttributes"]["ProductID"] = 2074;
    EXPECT_EQ(probe(3).ioSource, "none");
    sim.registry[0].properties["DisplayAttributes"]["ProductAttributes"].erase("ProductID");
    EXPECT_EQ(probe(3).ioSource, "none");  // model 0
}

TEST_F(ProbeDisplayTest, PropertiesOfTheWrongKindStayAbsent) {
    SimDisplay* d = sim.find(3);
    d->info = json{{"IODisplayLocation", 12},
                   {"IODisplayEDID", "not bytes"},
                   {"IODisplayEDIDOriginal", bytes(kSamsung)}};
    RegistryEntry e = connector("/reg/card0-DP-1", {});
    e.properties["DisplayAttributes"] = {{"ProductAttributes", json::array()}};
    e.properties["EDID UUID"] = 5;
    sim.registry = {e};
    DisplayProbe p = probe(3);
    EXPECT_FALSE(p.ioPath);
    EXPECT_FALSE(p.edid);  // "IODisplayEDID" exists, so the original is not looked at
    EXPECT_EQ(p.ioSource, "none");

    d->registryPath.reset();
    d->info = json{{"IODisplayLocation", "/reg/card0-DP-1"}};
    sim.registry[0].properties["DisplayAttributes"] = {
        {"ProductAttributes", {{"AlphanumericSerialNumber", 42}, {"SerialNumber", "77"}}}};
    p = probe(3);
    EXPECT_EQ(p.ioSource, "location");
    EXPECT_TRUE(p.productAttributes);
    EXPECT_FALSE(p.ioAlnum);
    EXPECT_FALSE(p.ioSerialNumber);
    EXPECT_FALSE(p.edidUUID);

    d->info = json("a dictionary it is not");
    EXPECT_FALSE(probe(3).ioPath);
}

TEST_F(ProbeDisplayTest, ReadLiveDisplaysLeavesOutMirrorsAndInactiveDisplays) {
    sim.addDisplay(
        {.id = 5, .frame = {1512, -24, 1920, 1080}, .mirrorOf = 3, .vendor = 7, .model = 8});
    sim.addDisplay({.id = 7, .frame = {0, 0, 0, 0}, .active = false, .vendor = 9, .model = 10});
    sim.addDisplay({.id = 9, .frame = {-1280, 0, 1280, 1024}, .vendor = 4268, .model = 16543});
    Arrangement arrangement(sim);
    const auto live = readLiveDisplays(arrangement, sim);
    ASSERT_EQ(live.size(), 3u);
    EXPECT_EQ(live[0], (LiveDisplay{.id = 1,
                                    .ident = {.vendor = 1552, .model = 41234, .builtin = true},
                                    .uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230",
                                    .name = "Built-in Retina Display",
                                    .frame = {0, 0, 1512, 982},
                                    .isMain = true}));
    EXPECT_EQ(live[1].id, 3u);
    EXPECT_EQ(live[1].ident.serialString, "HTPK123456");
    EXPECT_FALSE(live[1].isMain);
    // Without a name of its own a display takes the short screen name.
    EXPECT_EQ(live[2].id, 9u);
    EXPECT_EQ(live[2].name, "monitor");
    EXPECT_FALSE(live[2].uuid);
    EXPECT_EQ(live[2].frame, (Rect{-1280, 0, 1280, 1024}));

    sim.find(1)->name.clear();
    EXPECT_EQ(readLiveDisplays(arrangement, sim)[0].name, "Laptop");
}

}  // namespace
}  // namespace seam
