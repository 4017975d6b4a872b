// The GNOME display services, change events and monitor identity over recorded
// compositor states; the DRM connectors come from a folder tree of the test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "layouts/display_probe.h"
#include "layouts/edid_info.h"
#include "platform/gnome/gnome_display.h"
#include "support/edid_builder.h"
#include "support/fake_mutter.h"
#include "support/log_capture.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::buildEdid;
using testing::monitorOn;
using Blob = std::vector<std::uint8_t>;

const Blob kSamsungEdid = buildEdid({.pnp = "SAM",
                                     .product = 2073,
                                     .serial = 0x01010101,
                                     .serialText = "HTPK123456",
                                     .name = "SAMSUNG"});
const Blob kDellEdid = buildEdid({.pnp = "DEL", .product = 41139, .serial = 12345});

RegistryEntry drmEntry(const std::string& path, const Blob& edid) {
    RegistryEntry e{.path = path};
    if (!edid.empty()) e.below["IODisplayEDID"] = nlohmann::json::binary(edid);
    return e;
}

TEST(MutterIdentityTest, CompositorTextsAsNumbers) {
    EXPECT_EQ(pnpNumber("SAM"), 19501u);
    EXPECT_EQ(pnpID(pnpNumber("DEL")), "DEL");
    struct Case {
        MutterMonitor monitor;
        MutterNumbers numbers;
    };
    const Case cases[] = {
        {monitorOn("DP-1", 1920, 1080, "SAM", "0x0819", "0x01010101"), {19501, 2073, 0x01010101}},
        {monitorOn("DP-1", 1920, 1080, "DEL", "0xa0b3", "HTPK123456"),
         {4268, 41139, 0, "HTPK123456"}},
        {monitorOn("Meta-0", 1920, 1080, "MetaVendor", "0x00", "0x00"), {0, 0, 0}},
        {monitorOn("DP-1", 1920, 1080, "unknown", "unknown", "unknown"), {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.monitor.vendor + "/" + c.monitor.product + "/" + c.monitor.serial);
        const MutterNumbers n = numbersOf(c.monitor);
        EXPECT_EQ(n.vendor, c.numbers.vendor);
        EXPECT_EQ(n.model, c.numbers.model);
        EXPECT_EQ(n.serial, c.numbers.serial);
        EXPECT_EQ(n.serialText, c.numbers.serialText);
    }
    // A monitor name instead of a product code: distinct names stay distinct models.
    const auto a = numbersOf(monitorOn("DP-1", 1, 1, "SAM", "SAMSUNG")).model;
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, numbersOf(monitorOn("DP-1", 1, 1, "SAM", "S24D300")).model);
}

TEST(MutterIdentityTest, MatchingTheDrmConnector) {
    struct Case {
        const char* name;
        MutterMonitor monitor;
        std::vector<RegistryEntry> connectors;
        std::string found;  // empty: none
    };
    const MutterMonitor samsung = monitorOn("HDMI-1", 1920, 1080, "SAM", "SAMSUNG", "HTPK123456");
    const Case cases[] = {
        {"HDMI type A under the kernel's name",
         samsung,
         {drmEntry("/d/card0-DP-1", kDellEdid), drmEntry("/d/card0-HDMI-A-1", kSamsungEdid)},
         "/d/card0-HDMI-A-1"},
        {"the same name",
         monitorOn("DP-1", 1920, 1080, "DEL"),
         {drmEntry("/d/card0-DP-1", kDellEdid)},
         "/d/card0-DP-1"},
        {"another number is another connector",
         samsung,
         {drmEntry("/d/card0-HDMI-A-11", kSamsungEdid)},
         ""},
        {"another monitor's EDID", samsung, {drmEntry("/d/card0-HDMI-A-1", kDellEdid)}, ""},
        {"no EDID on that card, one on the other",
         samsung,
         {drmEntry("/d/card0-HDMI-A-1", {}), drmEntry("/d/card1-HDMI-A-1", kSamsungEdid)},
         "/d/card1-HDMI-A-1"},
        {"two cards that could both be it",
         samsung,
         {drmEntry("/d/card0-HDMI-A-1", kSamsungEdid), drmEntry("/d/card1-HDMI-A-1", kSamsungEdid)},
         ""},
        {"no letters to check against",
         monitorOn("Meta-0", 1920, 1080, "MetaVendor"),
         {drmEntry("/d/card0-Meta-0", kDellEdid)},
         "/d/card0-Meta-0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto match = matchDrmConnector(c.monitor, c.connectors);
        EXPECT_EQ(match ? match->path : "", c.found);
    }
}

class GnomeBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake = std::make_shared<testing::FakeMutter>();
        fake->state = {
            .serial = 5,
            .monitors = {monitorOn("eDP-1", 1920, 1200, "unknown", "unknown", "unknown"),
                         monitorOn("HDMI-1", 1920, 1080, "SAM", "SAMSUNG", "HTPK123456")},
            .logical = {{.x = 0, .y = 0, .primary = true, .connectors = {"eDP-1"}},
                        {.x = 1920, .y = 0, .connectors = {"HDMI-1"}}}};
        fake->state.monitors[0].builtin = true;
        const fs::path r = root.path();
        fs::create_directory(r / "card0-HDMI-A-1");
        std::ofstream(r / "card0-HDMI-A-1" / "edid", std::ios::binary)
            .write(reinterpret_cast<const char*>(kSamsungEdid.data()),
                   std::streamsize(kSamsungEdid.size()));
        services = std::make_unique<GnomeDisplayServices>(fake, DrmConnectors(r.string()));
        panel = ConnectorIds().idFor("eDP-1");
        external = ConnectorIds().idFor("HDMI-1");
    }

    testing::TempDir root;
    std::shared_ptr<testing::FakeMutter> fake;
    std::unique_ptr<GnomeDisplayServices> services;
    std::uint32_t panel = 0, external = 0;
};

TEST_F(GnomeBackendTest, ReadsOnceUntilTheCompositorAnnouncesAChange) {
    EXPECT_EQ(services->activeDisplays(),
              (std::vector<Disp>{{panel, {0, 0, 1920, 1200}}, {external, {1920, 0, 1920, 1080}}}));
    EXPECT_EQ(services->mainDisplay(), panel);
    EXPECT_TRUE(services->isBuiltin(panel));
    EXPECT_FALSE(services->isBuiltin(external));
    EXPECT_EQ(fake->reads, 1);
    fake->state.logical[1].x = -1920;
    EXPECT_EQ(services->activeDisplays()[1].f.x, 1920) << "not announced yet";
    fake->announce();
    EXPECT_EQ(services->activeDisplays()[1].f.x, -1920);
    EXPECT_EQ(fake->reads, 2);

    // Nobody to announce changes: every question is asked afresh.
    auto blind = std::make_shared<testing::FakeMutter>();
    blind->state = fake->state;
    blind->canWatch = false;
    GnomeDisplayServices unwatched(blind);
    unwatched.activeDisplays();
    blind->state.logical[1].x = 1920;
    EXPECT_EQ(unwatched.activeDisplays()[1].f.x, 1920);
}

TEST_F(GnomeBackendTest, ConfigureSendsOnePersistentConfigurationOrNothing) {
    testing::LogCapture log;
    fake->state.logical[0] = {.x = 1920, .y = 0, .primary = true, .connectors = {"eDP-1"}};
    fake->state.logical[1].x = 0;
    EXPECT_TRUE(services->configure({{external, 0, -1080}}));
    ASSERT_EQ(fake->applied.size(), 1u);
    const MutterApply& sent = fake->applied[0];
    EXPECT_EQ(sent.serial, 5u);
    EXPECT_EQ(sent.method, kMethodPersistent);
    ASSERT_EQ(sent.logical.size(), 2u);
    EXPECT_EQ(sent.logical[0].x, 0);
    EXPECT_EQ(sent.logical[0].y, 1080);
    EXPECT_EQ(sent.logical[1].y, 0);
    EXPECT_EQ(fake->reads, 1) << "read for the serial";

    // A gap is refused here, not sent; the compositor's own refusal is a failure too.
    EXPECT_FALSE(services->configure({{external, 1920, 1300}}));
    EXPECT_EQ(fake->applied.size(), 1u);
    fake->refusal = "Logical monitors not adjacent";
    EXPECT_FALSE(services->configure({{external, 1920, 0}}));
    EXPECT_EQ(fake->applied.size(), 2u);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{
                  "configure refused: the displays would not touch one another",
                  "configure failed: the compositor answered: Logical monitors not adjacent"}));
    EXPECT_TRUE(services->configure({}));
    EXPECT_EQ(fake->applied.size(), 2u);
}

TEST_F(GnomeBackendTest, ToolkitSpaceIsTheCompositorsLayout) {
    fake->state.logical[0].x = 1920;
    fake->state.logical[1].x = 0;
    EXPECT_EQ(services->toToolkit({-1920, 0, 10, 10}), (Rect{0, 0, 10, 10}));
    EXPECT_EQ(services->toToolkit({0, 5, 10, 10}), (Rect{1920, 5, 10, 10}));
}

TEST_F(GnomeBackendTest, ChangesAreReportedPerDisplay) {
    GnomeDisplayChanges changes(*services);
    std::vector<DisplayChange> seen;
    ASSERT_EQ(changes.registerCallback([&](std::uint32_t d, std::uint32_t f) {
        seen.push_back({d, f});
    }),
              0);
    using namespace changeFlag;
    struct Step {
        const char* name;
        std::function<void(MutterState&)> change;
        std::vector<DisplayChange> expected;
    };
    const Step steps[] = {
        {"moved", [](MutterState& s) { s.logical[1].y = 100; }, {{external, moved}}},
        {"main changed",
         [](MutterState& s) { s.logical[0].primary = false, s.logical[1].primary = true; },
         {{panel, moved | setMain}, {external, moved | setMain}}},
        {"another monitor on the connector of the panel",
         [](MutterState& s) { s.monitors[0].serial = "0x00001234"; },
         {{panel, remove | add | disabled | enabled}}},
        {"switched off",
         [](MutterState& s) { s.logical.erase(s.logical.begin()); },
         {{panel, disabled}}},
        {"nothing that shows", [](MutterState&) {}, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        seen.clear();
        step.change(fake->state);
        fake->announce();
        EXPECT_EQ(seen, step.expected);
    }
}

// How the numbers agree with the X11 session's is shown with the X11 tests.
TEST_F(GnomeBackendTest, NamesAndBuiltInPanels) {
    GnomeDisplayIdentity identity(*services);
    EXPECT_EQ(identity.hardware(external).name, "SAMSUNG");
    EXPECT_EQ(identity.hardware(panel).name, "eDP-1");
    fake->state.monitors[0].displayName = "Built-in display";
    fake->announce();
    const DisplayProbe p = probeDisplay(panel, *services, identity);
    EXPECT_EQ(p.name, "Built-in display");
    EXPECT_EQ(p.ioSource, "location");
    EXPECT_TRUE(p.ident().builtin);
    EXPECT_FALSE(probeDisplay(external, *services, identity).ident().builtin);
}

}  // namespace
}  // namespace seam
