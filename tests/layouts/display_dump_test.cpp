#include "layouts/display_dump.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "geometry/arrangement.h"
#include "platform/sim/sim_display_server.h"
#include "support/edid_builder.h"

namespace seam {
namespace {

using testing::buildEdid;

class DisplayDumpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setKorean(false);
        sim.addDisplay({.id = 1,
                        .frame = {0, 0, 1512, 982},
                        .builtin = true,
                        .name = "Built-in Retina Display",
                        .vendor = 1552,
                        .model = 41234,
                        .serial = 0x01010101,  // junk
                        .uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230"});
        sim.addDisplay({.id = 3,
                        .frame = {1512.6, -24.9, 1920, 1080},
                        .name = "SAMSUNG",
                        .edid = buildEdid({.pnp = "SAM",
                                           .product = 2073,
                                           .serial = 0x01010101,
                                           .serialText = "HTPK123456",
                                           .name = "SAMSUNG"}),
                        .vendor = 19501,
                        .model = 2073,
                        .serial = 12345,
                        .unit = 1,
                        .registryPath = "/reg/card0-HDMI-A-1"});
        RegistryEntry e{.path = "/reg/card0-HDMI-A-1"};
        e.properties["DisplayAttributes"] = {{"ProductAttributes",
                                              {{"ProductID", 2073},
                                               {"AlphanumericSerialNumber", "0000"},
                                               {"ManufacturerID", "SAM"},
                                               {"AVeryLongAttributeNameIndeed", 1.5}}}};
        e.properties["EDID UUID"] = "4C2D1908-0000-0000-0000-000000000000";
        sim.registry = {e};
    }

    std::string dump(std::string_view backend = {}) {
        Arrangement arrangement(sim);
        return dumpDisplays(arrangement, sim, backend);
    }

    SimDisplayServer sim;
};

TEST_F(DisplayDumpTest, EveryLine) {
    EXPECT_EQ(dump(),
              "Seamwright --dump-displays  (CoreDisplay info: available)\n"
              "\n"
              "display id=1 [main] [built-in]  name=Built-in Retina Display\n"
              "  bounds (pt)           0,0 1512x982   pixels 1512x982\n"
              "  CGDisplayVendorNumber 1552 (0x610, PNP APP)\n"
              "  CGDisplayModelNumber  41234 (0xa112)\n"
              "  CGDisplaySerialNumber 16843009 (0x1010101) (junk → no serial)\n"
              "  CGDisplayUnitNumber   0\n"
              "  CGDisplay UUID        37D8832A-2D66-02CA-B9F7-8F30A301B230\n"
              "  IORegistry (none)  -\n"
              "  EDID UUID             -\n"
              "  ProductAttributes     -\n"
              "  AlphanumericSerial    -\n"
              "  raw EDID              - (not exposed)\n"
              "  → identity used       vendor=1552 model=41234 serialString=nil serialNumber=nil "
              "builtin=true (serial ignored for built-in)\n"
              "\n"
              "display id=3  name=SAMSUNG\n"
              "  bounds (pt)           1512,-24 1920x1080   pixels 1920x1080\n"
              "  CGDisplayVendorNumber 19501 (0x4c2d, PNP SAM)\n"
              "  CGDisplayModelNumber  2073 (0x819)\n"
              "  CGDisplaySerialNumber 12345 (0x3039)\n"
              "  CGDisplayUnitNumber   1\n"
              "  CGDisplay UUID        -\n"
              "  IORegistry (location)  /reg/card0-HDMI-A-1\n"
              "  EDID UUID             4C2D1908-0000-0000-0000-000000000000\n"
              "  ProductAttributes.AVeryLongAttributeNameIn 1.5\n"
              "  ProductAttributes.AlphanumericSerialNumber 0000\n"
              "  ProductAttributes.ManufacturerID           SAM\n"
              "  ProductAttributes.ProductID                2073\n"
              "  AlphanumericSerial    0000 (junk → no serial)\n"
              "  raw EDID              vendor SAM product 2073 serial 16843009 (junk → no serial) "
              "alnum HTPK123456 name SAMSUNG\n"
              "  → identity used       vendor=19501 model=2073 serialString=HTPK123456 "
              "serialNumber=12345 builtin=false\n"
              "\n"
              "set used for layouts: id=1[주] APP/41234 sn=- (0,0 1512x982) | "
              "id=3 SAM/2073 sn=HTPK123456 (1512,-24 1920x1080)\n"
              "indistinguishable displays in this set: no");
}

// A mirror, a connected display without a picture, no info dictionary and twins.
TEST_F(DisplayDumpTest, MirrorInactiveSwitchedOffDictionaryAndTwins) {
    sim.setInfoAvailable(false);
    sim.registry.clear();
    sim.addDisplay({.id = 4,
                    .frame = {-1920, 0, 1920, 1080},
                    .vendor = 19501,
                    .model = 2073,
                    .serial = 12345});
    sim.addDisplay({.id = 5,
                    .frame = {1512, -24, 1920, 1080},
                    .mirrorOf = 3,
                    .vendor = 4268,
                    .model = 41156,
                    .unit = 2});
    sim.addDisplay({.id = 7, .frame = {}, .active = false, .unit = 3});
    const std::string out = dump("wlroots");
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "Seamwright --dump-displays  (CoreDisplay info: unavailable)  backend=wlroots");
    EXPECT_NE(out.find("display id=3  name=SAMSUNG\n"), std::string::npos);
    EXPECT_NE(out.find("  IORegistry (none)  -\n  EDID UUID             -\n"
                       "  ProductAttributes     -\n  AlphanumericSerial    -\n"
                       "  raw EDID              - (not exposed)\n"
                       "  → identity used       vendor=19501 model=2073 serialString=nil "
                       "serialNumber=12345 builtin=false\n\ndisplay id=4"),
              std::string::npos);
    EXPECT_NE(out.find("display id=5 [mirrors 3]  name=-\n"
                       "  bounds (pt)           1512,-24 1920x1080   pixels 1920x1080\n"
                       "  CGDisplayVendorNumber 4268 (0x10ac, PNP DEL)\n"),
              std::string::npos);
    EXPECT_NE(out.find("display id=7 [inactive]  name=-\n"
                       "  bounds (pt)           0,0 0x0   pixels 0x0\n"
                       "  CGDisplayVendorNumber 0 (0x0, PNP @@@)\n"
                       "  CGDisplayModelNumber  0 (0x0)\n"
                       "  CGDisplaySerialNumber 0 (0x0) (junk → no serial)\n"),
              std::string::npos);
    // Mirrors and inactive displays are left out of the set; the twins are in it.
    EXPECT_NE(out.find("set used for layouts: id=1[주] APP/41234 sn=- (0,0 1512x982) | id=3 "
                       "SAM/2073 sn#12345 (1512,-24 1920x1080) | id=4 SAM/2073 sn#12345 "
                       "(-1920,0 1920x1080)\n"),
              std::string::npos);
    EXPECT_EQ(out.substr(out.rfind('\n') + 1), "indistinguishable displays in this set: yes");
    EXPECT_NE(out.back(), '\n');
}

}  // namespace
}  // namespace seam
