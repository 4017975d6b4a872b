// The backend's mapping on output device events as WAYLAND_DEBUG prints them:
// what KWin 5.27 sent for its virtual outputs (recorded), and devices announced
// the way KWin announces monitors with an EDID.
#include <gtest/gtest.h>

#include <map>

#include "output_protocol_log.h"
#include "platform/kwin/kwin_display_identity.h"
#include "platform/kwin/kwin_display_services.h"
#include "platform/kwin/kwin_layout.h"
#include "support/edid_builder.h"

namespace seam {
namespace {

using testing::idsByName;
using testing::trackerOf;

// Recorded from kwin_wayland 5.27 --virtual --output-count 2 with WAYLAND_DEBUG=1.
const char* kKwinVirtual = R"(
[ 202016.981] kde_output_device_v2@5.geometry(0, 0, -1, -1, 0, "", "", 0)
[ 202016.985] kde_output_device_v2@5.scale(1.00000000)
[ 202016.987] kde_output_device_v2@5.eisa_id("")
[ 202016.989] kde_output_device_v2@5.name("Virtual-0")
[ 202016.991] kde_output_device_v2@5.serial_number("")
[ 202016.993] kde_output_device_v2@5.mode(new id kde_output_device_mode_v2@4278190080)
[ 202017.005] kde_output_device_mode_v2@4278190080.size(1920, 1080)
[ 202017.007] kde_output_device_mode_v2@4278190080.refresh(60000)
[ 202017.009] kde_output_device_v2@5.current_mode(kde_output_device_mode_v2@4278190080)
[ 202017.013] kde_output_device_v2@5.uuid("58a75119-5a56-5856-84e4-a47e55134164")
[ 202017.015] kde_output_device_v2@5.edid("")
[ 202017.017] kde_output_device_v2@5.enabled(1)
[ 202017.019] kde_output_device_v2@5.capabilities(0)
[ 202017.025] kde_output_device_v2@5.done()
[ 202017.028] kde_output_device_v2@6.geometry(1920, 0, -1, -1, 0, "", "", 0)
[ 202017.031] kde_output_device_v2@6.scale(1.00000000)
[ 202017.033] kde_output_device_v2@6.eisa_id("")
[ 202017.035] kde_output_device_v2@6.name("Virtual-1")
[ 202017.037] kde_output_device_v2@6.serial_number("")
[ 202017.038] kde_output_device_v2@6.mode(new id kde_output_device_mode_v2@4278190081)
[ 202017.041] kde_output_device_mode_v2@4278190081.size(1920, 1080)
[ 202017.043] kde_output_device_mode_v2@4278190081.refresh(60000)
[ 202017.045] kde_output_device_v2@6.current_mode(kde_output_device_mode_v2@4278190081)
[ 202017.046] kde_output_device_v2@6.uuid("285712a6-31d1-5e3a-95e8-b6f4629caf9f")
[ 202017.048] kde_output_device_v2@6.edid("")
[ 202017.050] kde_output_device_v2@6.enabled(1)
[ 202017.058] kde_output_device_v2@6.done()
[ 202017.060] kde_output_order_v1@7.output("Virtual-0")
[ 202017.063] kde_output_order_v1@7.output("Virtual-1")
[ 202017.064] kde_output_order_v1@7.done()
)";

std::string base64(const std::vector<std::uint8_t>& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t n = bytes[i] << 16;
        if (i + 1 < bytes.size()) n |= bytes[i + 1] << 8;
        if (i + 2 < bytes.size()) n |= bytes[i + 2];
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= bytes.size() - i ? digits[(n >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

struct DeviceSpec {
    std::uint32_t object;  // its modes are the next two
    std::string name;
    int x = 0, y = 0, width = 1920, height = 1080;
    double scale = 1;
    int transform = 0;
    bool enabled = true;
    std::vector<std::uint8_t> edid = testing::buildEdid({.pnp = "SAM", .product = 2073});
};

std::string announce(const DeviceSpec& d) {
    const std::string dev = "kde_output_device_v2@" + std::to_string(d.object);
    const std::string m1 = "kde_output_device_mode_v2@" + std::to_string(d.object + 1);
    const std::string m2 = "kde_output_device_mode_v2@" + std::to_string(d.object + 2);
    char scale[32];
    std::snprintf(scale, sizeof scale, "%.8f", d.scale);
    std::string s = dev + ".geometry(" + std::to_string(d.x) + ", " + std::to_string(d.y) +
                    ", 600, 340, 0, \"Samsung Electric Company\", \"SAMSUNG\", " +
                    std::to_string(d.transform) + ")\n";
    s += dev + ".scale(" + scale + ")\n" + dev + ".eisa_id(\"SAM\")\n";
    s += dev + ".name(\"" + d.name + "\")\n" + dev + ".serial_number(\"\")\n";
    s += dev + ".mode(new id " + m1 + ")\n" + m1 + ".size(" + std::to_string(d.width) + ", " +
         std::to_string(d.height) + ")\n" + m1 + ".refresh(60000)\n" + m1 + ".preferred()\n";
    s += dev + ".mode(new id " + m2 + ")\n" + m2 + ".size(1024, 768)\n";
    s += dev + ".current_mode(" + m1 + ")\n";
    s += dev + ".edid(\"" + base64(d.edid) + "\")\n";
    s += dev + ".enabled(" + std::string(d.enabled ? "1" : "0") + ")\n" + dev + ".done()\n";
    return s;
}

std::string announceAll(const std::vector<DeviceSpec>& devices, const std::string& primary = "") {
    std::string s;
    for (const DeviceSpec& d : devices) s += announce(d);
    if (!primary.empty())
        s += "kde_output_order_v1@7.output(\"" + primary + "\")\nkde_output_order_v1@7.done()\n";
    return s;
}

KwinLayout layoutOfLog(const std::string& log) {
    const auto state = trackerOf(log);
    return layoutOf(state.heads(), state.primary());
}

TEST(KwinOutputsTest, Base64AsTheEdidEventCarriesIt) {
    using Bytes = std::vector<std::uint8_t>;
    const struct {
        const char* text;
        std::optional<Bytes> bytes;
    } cases[] = {
        {"", Bytes{}},
        {"TWFu", Bytes{'M', 'a', 'n'}},
        {"TWE=", Bytes{'M', 'a'}},
        {"TQ==", Bytes{'M'}},
        {"AP/+", Bytes{0x00, 0xff, 0xfe}},
        {"T@==", std::nullopt},
        {"TQ=x", std::nullopt},
        {"T", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeBase64(c.text), c.bytes) << c.text;
    const auto edid = testing::buildEdid({.pnp = "DEL", .product = 41156, .serial = 12345678});
    EXPECT_EQ(decodeBase64(base64(edid)), edid);
}

TEST(KwinOutputsTest, EachDeviceCountsFromItsDone) {
    OutputTracker tracker;
    const auto events = testing::parseOutputLog(announce({.object = 10, .name = "DP-1"}));
    ASSERT_FALSE(events.empty());
    for (std::size_t i = 0; i + 1 < events.size(); ++i) EXPECT_FALSE(tracker.apply(events[i]));
    EXPECT_TRUE(tracker.heads().empty());
    EXPECT_TRUE(tracker.apply(events.back()));
    ASSERT_EQ(tracker.heads().size(), 1u);
    EXPECT_EQ(tracker.heads()[0].edid, testing::buildEdid({.pnp = "SAM", .product = 2073}));
    // A done that changes nothing is no change; a removal is one.
    EXPECT_FALSE(tracker.apply(output::HeadDone{10}));
    EXPECT_TRUE(tracker.apply(output::HeadRemoved{10}));
    EXPECT_TRUE(tracker.heads().empty());
}

TEST(KwinLayoutTest, OutputsAsDisplaysInGlobalSpace) {
    struct Case {
        const char* what;
        std::string log;
        std::vector<std::pair<std::string, Rect>> active;  // by name, in order
        std::string main;
    };
    const Case cases[] = {
        {"KWin's virtual outputs",
         kKwinVirtual,
         {{"Virtual-0", {0, 0, 1920, 1080}}, {"Virtual-1", {1920, 0, 1920, 1080}}},
         "Virtual-0"},
        {"KWin's virtual outputs, the second scaled 1.5 (recorded)",
         std::string(kKwinVirtual) + "[ 556709.181] kde_output_device_v2@6.scale(1.50000000)\n"
                                     "[ 556709.197] kde_output_device_v2@6.done()\n",
         {{"Virtual-0", {0, 0, 1920, 1080}}, {"Virtual-1", {1920, 0, 1280, 720}}},
         "Virtual-0"},
        {"the primary is main wherever it is",
         announceAll({{.object = 10, .name = "DP-1"}, {.object = 20, .name = "DP-2", .x = 1920}},
                     "DP-2"),
         {{"DP-1", {-1920, 0, 1920, 1080}}, {"DP-2", {0, 0, 1920, 1080}}},
         "DP-2"},
        // 1366 / 1.5 is 910.67: KWin rounds where wlroots truncates.
        {"scaled sizes round, turned outputs swap",
         announceAll({{.object = 10, .name = "eDP-1", .width = 1366, .height = 768, .scale = 1.5},
                      {.object = 20, .name = "HDMI-A-1", .x = 911, .transform = 1}}),
         {{"HDMI-A-1", {911, 0, 1080, 1920}}, {"eDP-1", {0, 0, 911, 512}}},
         "eDP-1"},
        {"no primary, nothing at the origin: the first by name",
         announceAll({{.object = 10, .name = "DP-2", .x = 2020, .y = 50},
                      {.object = 20, .name = "DP-1", .x = 100, .y = 50}}),
         {{"DP-1", {0, 0, 1920, 1080}}, {"DP-2", {1920, 0, 1920, 1080}}},
         "DP-1"},
        {"a disabled output is online only; a disabled primary is not main",
         announceAll({{.object = 10, .name = "DP-1", .enabled = false},
                      {.object = 20, .name = "DP-2", .x = 1920}},
                     "DP-1"),
         {{"DP-2", {0, 0, 1920, 1080}}},
         "DP-2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const KwinLayout l = layoutOfLog(c.log);
        auto ids = idsByName(l);
        EXPECT_EQ(l.online().size(), ids.size());
        const auto active = l.active();
        ASSERT_EQ(active.size(), c.active.size());
        for (std::size_t i = 0; i < active.size(); ++i)
            EXPECT_EQ(active[i], (Disp{ids[c.active[i].first], c.active[i].second}));
        EXPECT_EQ(l.main, ids[c.main]);
    }
}

TEST(KwinLayoutTest, ChangesBetweenStates) {
    const std::string base =
        announceAll({{.object = 10, .name = "eDP-1"}, {.object = 20, .name = "DP-1", .x = 1920}});
    using namespace changeFlag;
    const auto other = testing::buildEdid({.pnp = "DEL", .product = 41156, .serial = 12345678});
    const struct {
        const char* what;
        std::string more;
        std::map<std::string, std::uint32_t> flags;  // by name
    } cases[] = {
        {"moved",
         "kde_output_device_v2@20.geometry(1920, 40, 600, 340, 0, \"Samsung Electric Company\", "
         "\"SAMSUNG\", 0)\n"
         "kde_output_device_v2@20.done()\n",
         {{"DP-1", moved}}},
        {"switched off",
         "kde_output_device_v2@20.enabled(0)\nkde_output_device_v2@20.done()\n",
         {{"DP-1", disabled}}},
        {"unplugged", "kde_output_device_v2@20.removed()\n", {{"DP-1", remove | disabled}}},
        {"plugged",
         announce({.object = 30, .name = "HDMI-A-1", .y = 1080}),
         {{"HDMI-A-1", add | enabled}}},
        {"another monitor, same connector and names",
         "kde_output_device_v2@20.edid(\"" + base64(other) +
             "\")\nkde_output_device_v2@20.done()\n",
         {{"DP-1", remove | disabled | add | enabled}}},
        {"the primary changed",
         "kde_output_order_v1@7.output(\"DP-1\")\nkde_output_order_v1@7.done()\n",
         {{"eDP-1", setMain | moved}, {"DP-1", setMain | moved}}},
        {"mirrored",
         "kde_output_device_v2@20.geometry(0, 0, 600, 340, 0, \"Samsung Electric Company\", "
         "\"SAMSUNG\", 0)\n"
         "kde_output_device_v2@20.done()\n",
         {{"DP-1", setMain | moved}, {"eDP-1", setMain | mirror}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const KwinLayout before = layoutOfLog(base);
        const KwinLayout after = layoutOfLog(base + c.more);
        EXPECT_EQ(testing::changesByName(before, after), c.flags);
    }
}

TEST(KwinLayoutTest, MovesAsOnePlacementOfEveryEnabledOutput) {
    const auto state = trackerOf(announceAll({{.object = 10, .name = "DP-1", .x = 100, .y = 50},
                                              {.object = 20, .name = "DP-2", .x = 2020, .y = 50},
                                              {.object = 30, .name = "HDMI-A-1", .enabled = false}},
                                             "DP-1"));
    const auto ids = idsByName(layoutOf(state.heads(), state.primary()));
    const std::uint32_t dp2 = ids.at("DP-2");
    const struct {
        const char* what;
        std::vector<DisplayMove> moves;
        std::optional<std::vector<KwinPlacement>> plan;
    } cases[] = {
        {"nothing moved: restated from the leftmost", {}, {{{10, 0, 0}, {20, 1920, 0}}}},
        {"the last move of a display wins",
         {{dp2, 0, 1080}, {dp2, 1920, -300}},
         {{{10, 0, 0}, {20, 1920, -300}}}},
        // Global (-1920, 200) is left of the main display: it becomes the origin.
        {"left of the main display", {{dp2, -1920, 200}}, {{{10, 1920, -200}, {20, 0, 0}}}},
        {"a display not shown", {{ids.at("HDMI-A-1"), 0, 0}}, std::nullopt},
        {"an unknown display", {{dp2, 0, 1080}, {12345, 0, 0}}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(planPlacements(state.heads(), state.primary(), c.moves), c.plan);
    }
}

}  // namespace
}  // namespace seam
