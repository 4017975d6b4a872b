// The real program offers a saved layout: at launch, and when a monitor comes
// back, the panel appears; its Switch button applies the layout.
#include <gtest/gtest.h>

#include <optional>

#include "program_on_x.h"
#include "support/edid_builder.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::at;
using testing::eventually;
using testing::Pos;
using testing::Program;
using testing::User;
using testing::VirtualXServer;
using testing::xserver;

// "Desk": the monitors attached now, with the external to the left of the panel.
void saveDeskLayout(const std::string& configHome) {
    testing::storeLayout(configHome, "Desk", [](SavedLayout& desk) {
        for (SavedDisplay& d : desk.displays)
            if (!d.main) d.x = -d.width;
    });
}

// Two different monitors, so the layout knows which is which; set again, another
// monitor on the same connector, as the server reports it.
class Monitors : public testing::OutputProperties {
  public:
    Monitors() {
        set("DUMMY0", testing::buildEdid({.pnp = "APP", .product = 41234, .serial = 12345678}));
        set("DUMMY1", testing::buildEdid({.pnp = "SAM", .product = 2073, .serial = 87654321}));
    }
    void set(const char* output, const std::vector<std::uint8_t>& edid) {
        setEdid(testing::outputId(output), edid);
    }
};

// A mapped override-redirect window of the panel's size.
bool panelShown() {
    return User().windows(true, 340, 340, 132) > 0;
}

class SuggestionEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(xserver()->arrange());
        monitors.emplace();
        program.emplace(saveDeskLayout);
        ASSERT_TRUE(program->waitForLog("layouts: 1 saved, suggest=true, reconfig callback=ok"))
            << program->logText();
        ASSERT_TRUE(program->waitForLog("layout suggest (launch): offer \"Desk\""))
            << program->logText();
    }
    void TearDown() override {
        program.reset();
        monitors.reset();
        xserver()->arrange();
    }

    std::optional<Monitors> monitors;
    std::optional<Program> program;
};

TEST_F(SuggestionEndToEnd, OfferedAtLaunchAndAfterAReplugAndSwitched) {
    // Unplugged and back: one settle, one more offer.
    ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
    ASSERT_TRUE(xserver()->arrange());
    ASSERT_TRUE(program->waitForLog("set-changed=true")) << program->logText();
    ASSERT_TRUE(program->waitForLog("layout suggest (monitors changed): offer \"Desk\""))
        << program->logText();

    // No tray icon on this desktop: the panel sits at the top right of the main
    // screen, Switch at its bottom right.
    ASSERT_TRUE(eventually(panelShown)) << program->logText();
    User().click(1710 - 12 - 340 + 234 + 46, 6 + 90 + 15);
    ASSERT_TRUE(program->waitForLog("layout \"Desk\" via=suggestion")) << program->logText();
    // The external now stands to the left of the panel.
    EXPECT_TRUE(eventually([] {
        return at("DUMMY0") == Pos{1280, 0} && at("DUMMY1") == Pos{0, 0};
    })) << program->logText();
    EXPECT_TRUE(eventually([] { return !panelShown(); }));  // after its fade

    const std::string log = program->logText();
    EXPECT_EQ(log.find("displays settled"),
              log.rfind("displays settled", log.find("via=suggestion")))
        << "one settle for the replug\n"
        << log;
}

TEST_F(SuggestionEndToEnd, AnotherMonitorOnTheSameConnectorIsAChangeOfMonitors) {
    // Swapped while the machine slept: the connector stays connected, its EDID changes.
    monitors->set("DUMMY1", testing::buildEdid({.pnp = "DEL", .product = 16600, .serial = 4242}));
    ASSERT_TRUE(program->waitForLog("layout suggest (monitors changed): no saved layout"))
        << program->logText();
    // And the monitor the layout was saved with is back.
    monitors->set("DUMMY1",
                  testing::buildEdid({.pnp = "SAM", .product = 2073, .serial = 87654321}));
    ASSERT_TRUE(program->waitForLog("layout suggest (monitors changed): offer \"Desk\""))
        << program->logText();

    const std::string log = program->logText();
    const std::string settled = "displays settled flags=0x330 set-changed=true id=";
    const auto first = log.find(settled);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(settled, first + 1), std::string::npos) << log;
    EXPECT_NE(log.find("DEL/16600", first), std::string::npos) << log;
}

}  // namespace
}  // namespace seam
