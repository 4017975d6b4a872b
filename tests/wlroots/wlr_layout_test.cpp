// The backend's mapping on output management events as WAYLAND_DEBUG prints
// them: what sway 1.7 sent for headless outputs (recorded), and heads announced
// the way wlroots announces real DRM outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "output_protocol_log.h"
#include "platform/wlroots/wlr_layout.h"

namespace seam {
namespace {

using testing::headsOf;
using testing::idsByName;
using testing::parseOutputLog;

// Recorded from sway 1.7 with WAYLAND_DEBUG=1: headless outputs are said
// disabled, with one mode object that never gets a size, newest first.
const char* kSwayHeadless = R"(
[2455941.479] zwlr_output_manager_v1@5.head(new id zwlr_output_head_v1@4278190080)
[2455941.484] zwlr_output_head_v1@4278190080.name("HEADLESS-2")
[2455941.487] zwlr_output_head_v1@4278190080.description("Headless output 2")
[2455941.489] zwlr_output_head_v1@4278190080.make("headless")
[2455941.490] zwlr_output_head_v1@4278190080.model("headless")
[2455941.503] zwlr_output_head_v1@4278190080.mode(new id zwlr_output_mode_v1@4278190081)
[2455941.505] zwlr_output_head_v1@4278190080.enabled(0)
[2455941.507] zwlr_output_manager_v1@5.head(new id zwlr_output_head_v1@4278190082)
[2455941.511] zwlr_output_head_v1@4278190082.name("HEADLESS-1")
[2455941.513] zwlr_output_head_v1@4278190082.description("Headless output 1")
[2455941.515] zwlr_output_head_v1@4278190082.make("headless")
[2455941.517] zwlr_output_head_v1@4278190082.model("headless")
[2455941.519] zwlr_output_head_v1@4278190082.mode(new id zwlr_output_mode_v1@4278190083)
[2455941.520] zwlr_output_head_v1@4278190082.enabled(0)
[2455941.522] zwlr_output_manager_v1@5.done(3)
)";
// What the same sway showed through wl_output and xdg-output at that time.
const std::vector<WlrShownOutput> kSwayShown = {
    {"HEADLESS-1", 0, 0, 1710, 1112, 1710, 1112, 60000, 0},
    {"HEADLESS-2", 1710, 0, 1280, 960, 1280, 960, 60000, 0}};

struct HeadSpec {
    std::uint32_t object;  // the head's object id; its mode is the next two
    std::string name;
    int x = 0, y = 0, width = 1920, height = 1080;
    double scale = 1;
    int transform = 0;
    bool enabled = true;
    std::string serial = "0x0001E240";
};

// A head as wlroots announces a DRM output: a preferred and a second mode.
std::string announce(const HeadSpec& h) {
    const std::string head = "zwlr_output_head_v1@" + std::to_string(h.object);
    const std::string m1 = "zwlr_output_mode_v1@" + std::to_string(h.object + 1);
    const std::string m2 = "zwlr_output_mode_v1@" + std::to_string(h.object + 2);
    char scale[32];
    std::snprintf(scale, sizeof scale, "%.8f", h.scale);
    std::string s = "zwlr_output_manager_v1@5.head(new id " + head + ")\n";
    s += head + ".name(\"" + h.name + "\")\n";
    s += head + ".description(\"Maker " + h.name + " (" + h.name + ")\")\n";
    s += head + ".physical_size(600, 340)\n";
    s += head + ".mode(new id " + m1 + ")\n";
    s += m1 + ".size(" + std::to_string(h.width) + ", " + std::to_string(h.height) + ")\n";
    s += m1 + ".refresh(60000)\n" + m1 + ".preferred()\n";
    s += head + ".mode(new id " + m2 + ")\n" + m2 + ".size(1024, 768)\n" + m2 + ".refresh(60004)\n";
    s += head + ".enabled(" + std::string(h.enabled ? "1" : "0") + ")\n";
    if (h.enabled) {
        s += head + ".current_mode(" + m1 + ")\n";
        s += head + ".position(" + std::to_string(h.x) + ", " + std::to_string(h.y) + ")\n";
        s += head + ".transform(" + std::to_string(h.transform) + ")\n";
        s += head + ".scale(" + scale + ")\n";
    }
    s += head + ".make(\"SAM\")\n" + head + ".model(\"0x0819\")\n";
    s += head + ".serial_number(\"" + h.serial + "\")\n";
    return s;
}

std::string announceAll(const std::vector<HeadSpec>& heads, std::uint32_t serial = 1) {
    std::string s;
    for (const HeadSpec& h : heads) s += announce(h);
    return s + "zwlr_output_manager_v1@5.done(" + std::to_string(serial) + ")\n";
}

TEST(WlrHeadsTest, NothingCountsBeforeTheDone) {
    OutputTracker tracker;
    for (const auto& e : parseOutputLog(announce({.object = 100, .name = "DP-1"})))
        EXPECT_FALSE(tracker.apply(e));
    EXPECT_TRUE(tracker.heads().empty());
    EXPECT_TRUE(tracker.apply(output::Done{9}));
    ASSERT_EQ(tracker.heads().size(), 1u);
    const WlrHead& h = tracker.heads()[0];
    ASSERT_TRUE(h.currentMode);
    ASSERT_NE(h.mode(*h.currentMode), nullptr);
    EXPECT_TRUE(h.mode(*h.currentMode)->preferred);
    EXPECT_EQ(h.serial, "0x0001E240");
    EXPECT_EQ(tracker.serial(), 9u);
}

TEST(WlrLayoutTest, HeadsAsDisplaysInGlobalSpace) {
    struct Case {
        const char* what;
        std::string log;
        std::vector<WlrShownOutput> shown;
        std::vector<std::pair<std::string, Rect>> active;  // by name, in order
        std::string main;
        std::vector<std::string> online;
    };
    const Case cases[] = {
        {"laptop scaled 1.25, monitor to its right",
         announceAll({{.object = 10, .name = "eDP-1", .scale = 1.25},
                      {.object = 20, .name = "DP-1", .x = 1536, .width = 2560, .height = 1440}}),
         {},
         {{"DP-1", {1536, 0, 2560, 1440}}, {"eDP-1", {0, 0, 1536, 864}}},
         "eDP-1",
         {"DP-1", "eDP-1"}},
        {"nothing at the origin: the first display is main and the layout shifts",
         announceAll(
             {{.object = 10, .name = "DP-1", .x = 100, .y = 50, .width = 2560, .height = 1440},
              {.object = 20, .name = "HDMI-A-1", .x = 2660, .y = 50, .transform = 1}}),
         {},
         {{"DP-1", {0, 0, 2560, 1440}}, {"HDMI-A-1", {2560, 0, 1080, 1920}}},
         "DP-1",
         {"DP-1", "HDMI-A-1"}},
        {"main at the origin, the other left of it",
         announceAll({{.object = 10,
                       .name = "DP-1",
                       .x = -1280,
                       .y = 200,
                       .width = 2560,
                       .height = 1440,
                       .scale = 2},
                      {.object = 20, .name = "DP-2", .scale = 1.5}}),
         {},
         {{"DP-1", {-1280, 200, 1280, 720}}, {"DP-2", {0, 0, 1280, 720}}},
         "DP-2",
         {"DP-1", "DP-2"}},
        {"a disabled head is online only",
         announceAll({{.object = 10, .name = "eDP-1"},
                      {.object = 20, .name = "HDMI-A-1", .x = 1920, .enabled = false}}),
         {},
         {{"eDP-1", {0, 0, 1920, 1080}}},
         "eDP-1",
         {"HDMI-A-1", "eDP-1"}},
        {"sway 1.7 headless: shown outputs stand in for heads said disabled",
         kSwayHeadless,
         kSwayShown,
         {{"HEADLESS-1", {0, 0, 1710, 1112}}, {"HEADLESS-2", {1710, 0, 1280, 960}}},
         "HEADLESS-1",
         {"HEADLESS-1", "HEADLESS-2"}},
        {"heads said disabled and not shown are not active",
         kSwayHeadless,
         {},
         {},
         "",
         {"HEADLESS-1", "HEADLESS-2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const WlrLayout l = layoutOf(headsOf(c.log), c.shown);
        auto ids = idsByName(l);
        const auto active = l.active();
        ASSERT_EQ(active.size(), c.active.size());
        for (std::size_t i = 0; i < active.size(); ++i)
            EXPECT_EQ(active[i], (Disp{ids[c.active[i].first], c.active[i].second}));
        EXPECT_EQ(l.main, c.main.empty() ? 0u : ids[c.main]);
        std::vector<std::uint32_t> online;
        for (const std::string& n : c.online) online.push_back(ids[n]);
        EXPECT_EQ(l.online(), online);
        for (const Disp& d : active) EXPECT_FALSE(l.mirrorOf(d.id));
    }
}

// wlroots truncates a scaled size and KWin rounds it; a turn swaps the sides.
TEST(WlrLayoutTest, LogicalSizeAsEachCompositorTakesIt) {
    using enum SizeRounding;
    const struct {
        int w, h, transform;
        double scale;
        SizeRounding rounding;
        std::pair<int, int> size;
    } cases[] = {
        {1366, 768, 0, 1.5, truncate, {910, 512}},
        {1366, 768, 0, 1.5, nearest, {911, 512}},
        {1366, 768, 1, 1.5, nearest, {512, 911}},
        {1920, 1080, 0, 0, truncate, {1920, 1080}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logicalSize(c.w, c.h, c.transform, c.scale, c.rounding), c.size)
            << c.w << "x" << c.h << " turned " << c.transform << " at " << c.scale;
}

TEST(WlrLayoutTest, DisplayIdsFollowTheMonitorNotTheAnnouncement) {
    const auto a = headsOf(
        announceAll({{.object = 10, .name = "DP-1"}, {.object = 20, .name = "DP-2", .x = 1920}}));
    // Another process: other objects, other order, same outputs.
    const auto b = headsOf(
        announceAll({{.object = 70, .name = "DP-2", .x = 1920}, {.object = 90, .name = "DP-1"}}));
    EXPECT_EQ(idsByName(layoutOf(a, {})), idsByName(layoutOf(b, {})));
    // Another monitor on the same connector is another display.
    const auto c = headsOf(announceAll({{.object = 10, .name = "DP-1", .serial = "0x0000BEEF"},
                                        {.object = 20, .name = "DP-2", .x = 1920}}));
    EXPECT_NE(idsByName(layoutOf(a, {}))["DP-1"], idsByName(layoutOf(c, {}))["DP-1"]);
    EXPECT_EQ(idsByName(layoutOf(a, {}))["DP-2"], idsByName(layoutOf(c, {}))["DP-2"]);
    // Two heads that hash alike still get two numbers.
    auto twins = a;
    twins[1] = twins[0];
    twins[1].key = 99;
    const WlrLayout l = layoutOf(twins, {});
    ASSERT_EQ(l.displays.size(), 2u);
    EXPECT_NE(l.displays[0].id, l.displays[1].id);
}

TEST(WlrLayoutTest, ChangesBetweenBatches) {
    const std::string base =
        announceAll({{.object = 10, .name = "eDP-1"}, {.object = 20, .name = "DP-1", .x = 1920}});
    using namespace changeFlag;
    struct Case {
        const char* what;
        std::string more;
        std::map<std::string, std::uint32_t> flags;  // by name
    };
    const Case cases[] = {
        {"moved", "zwlr_output_head_v1@20.position(1920, 40)\n", {{"DP-1", moved}}},
        {"mode",
         "zwlr_output_head_v1@20.current_mode(zwlr_output_mode_v1@22)\n",
         {{"DP-1", setMode}}},
        {"switched off", "zwlr_output_head_v1@20.enabled(0)\n", {{"DP-1", disabled}}},
        {"unplugged",
         "zwlr_output_mode_v1@21.finished()\nzwlr_output_mode_v1@22.finished()\n"
         "zwlr_output_head_v1@20.finished()\n",
         {{"DP-1", remove | disabled}}},
        {"plugged",
         announce({.object = 30, .name = "HDMI-A-1", .y = 1080}),
         {{"HDMI-A-1", add | enabled}}},
        {"main moved off the origin, the other onto it",
         "zwlr_output_head_v1@10.position(1920, 0)\nzwlr_output_head_v1@20.position(0, 0)\n",
         {{"eDP-1", setMain | moved}, {"DP-1", setMain | moved}}},
        // Both at the origin: the first by name is main, the other mirrors it.
        {"mirrored",
         "zwlr_output_head_v1@20.position(0, 0)\n",
         {{"DP-1", setMain | moved}, {"eDP-1", setMain | mirror}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const WlrLayout before = layoutOf(headsOf(base), {});
        const WlrLayout after =
            layoutOf(headsOf(base + c.more + "zwlr_output_manager_v1@5.done(2)\n"), {});
        EXPECT_EQ(testing::changesByName(before, after), c.flags);
    }
    // A batch without changes is no change.
    const WlrLayout l = layoutOf(headsOf(base), {});
    EXPECT_TRUE(
        diffSnapshots(l.snapshot(),
                      layoutOf(headsOf(base + "zwlr_output_manager_v1@5.done(3)\n"), {}).snapshot())
            .empty());
}

TEST(WlrLayoutTest, MovesAsSettingsForEveryHead) {
    const std::string shifted = announceAll(
        {{.object = 10, .name = "DP-1", .x = 100, .y = 50, .scale = 1.5, .transform = 1},
         {.object = 20, .name = "DP-2", .x = 820, .y = 50},
         {.object = 30, .name = "HDMI-A-1", .enabled = false}});
    const auto heads = headsOf(shifted);
    const auto ids = idsByName(layoutOf(heads, {}));
    const std::uint32_t dp2 = ids.at("DP-2");

    auto plan = planConfiguration(heads, {}, {{dp2, 720, -40}, {dp2, 720, 30}});
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->size(), 3u);
    // Restated as they are, the main display at its place, in announcement order.
    EXPECT_EQ((*plan)[0], (WlrHeadSetting{.headKey = 10,
                                          .enabled = true,
                                          .mode = 11,
                                          .x = 100,
                                          .y = 50,
                                          .transform = 1,
                                          .scale = 1.5}));
    // Global (720,30) is layout (820,80): the last move of a display wins.
    EXPECT_EQ((*plan)[1], (WlrHeadSetting{.headKey = 20,
                                          .enabled = true,
                                          .mode = 21,
                                          .x = 820,
                                          .y = 80,
                                          .transform = 0,
                                          .scale = 1}));
    EXPECT_EQ((*plan)[2], (WlrHeadSetting{.headKey = 30, .enabled = false}));

    EXPECT_FALSE(planConfiguration(heads, {}, {{dp2, 0, 0}, {12345, 0, 0}}));
    EXPECT_FALSE(planConfiguration(heads, {}, {{ids.at("HDMI-A-1"), 0, 0}}));
    EXPECT_TRUE(planConfiguration(heads, {}, {}));

    // Shown-only heads are restated from what the compositor shows.
    auto shown = kSwayShown;
    shown[1].modeWidth = 1920;
    shown[1].modeHeight = 1440;
    shown[1].width = 1280;
    shown[1].height = 960;
    const auto sway = headsOf(kSwayHeadless);
    const auto swayIds = idsByName(layoutOf(sway, shown));
    auto swayPlan = planConfiguration(sway, shown, {{swayIds.at("HEADLESS-2"), 1710, 40}});
    ASSERT_TRUE(swayPlan);
    ASSERT_EQ(swayPlan->size(), 2u);
    // In announcement order: HEADLESS-2 came first.
    const WlrHeadSetting& s = (*swayPlan)[0];
    EXPECT_TRUE(s.enabled);
    EXPECT_FALSE(s.mode);
    EXPECT_EQ(s.customSize, (std::pair<int, int>{1920, 1440}));
    EXPECT_EQ(s.customRefresh, 60000);
    EXPECT_EQ(std::pair(s.x, s.y), std::pair(1710, 40));
    EXPECT_DOUBLE_EQ(s.scale, 1.5);
    EXPECT_EQ((*swayPlan)[1].customSize, (std::pair<int, int>{1710, 1112}));
    EXPECT_EQ(std::pair((*swayPlan)[1].x, (*swayPlan)[1].y), std::pair(0, 0));
}

}  // namespace
}  // namespace seam
