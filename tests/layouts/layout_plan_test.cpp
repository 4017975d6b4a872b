#include "layouts/layout_plan.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/log_capture.h"

namespace seam {
namespace {

const DisplayIdent kPanel{.vendor = 1552, .model = 41234, .serialNumber = 12345, .builtin = true};
const DisplayIdent kTwin{.vendor = 19501, .model = 2073};  // no usable serial

DisplayIdent withString(const char* s) {
    DisplayIdent d = kTwin;
    d.serialString = s;
    return d;
}

SavedDisplay saved(DisplayIdent ident, double x, double y, bool main = false) {
    return {.ident = ident, .x = x, .y = y, .width = 1920, .height = 1080, .main = main};
}

LiveDisplay live(std::uint32_t id, DisplayIdent ident, double x, double y, bool isMain = false) {
    return {.id = id, .ident = ident, .name = "m", .frame = {x, y, 1920, 1080}, .isMain = isMain};
}

SavedLayout desk() {
    return {.id = "L",
            .name = "Desk",
            .displays = {saved(kPanel, 0, 0, true), saved(kTwin, 1512, 0), saved(kTwin, -1920, 0)}};
}

std::vector<Move> moves(std::vector<std::pair<std::uint32_t, Point>> list) {
    std::vector<Move> out;
    for (auto& [id, p] : list) out.push_back({id, p});
    return out;
}

TEST(PlanLayoutTest, CountsAndModelsMustMatch) {
    SavedLayout two{.displays = {saved(kPanel, 0, 0, true), saved(kTwin, 1512, 0)}};
    EXPECT_TRUE(planLayout(two, {live(1, kPanel, 0, 0, true), live(2, kTwin, 1512, 0)}));
    EXPECT_FALSE(planLayout(two, {live(1, kPanel, 0, 0, true)}));
    EXPECT_FALSE(planLayout(
        two, {live(1, kPanel, 0, 0, true), live(2, kTwin, 1512, 0), live(3, kTwin, -1920, 0)}));
    DisplayIdent other = kTwin;
    other.model = 9999;
    EXPECT_FALSE(planLayout(two, {live(1, kPanel, 0, 0, true), live(2, other, 1512, 0)}));
    EXPECT_FALSE(planLayout(SavedLayout{}, {}));

    SavedLayout eleven;
    std::vector<LiveDisplay> many;
    for (std::uint32_t i = 0; i < 11; ++i) {
        eleven.displays.push_back(saved(withString(std::to_string(i + 100).c_str()), i * 1920, 0));
        many.push_back(live(i + 1, withString(std::to_string(i + 100).c_str()), i * 1920, 0));
    }
    EXPECT_FALSE(planLayout(eleven, many));
    eleven.displays.pop_back();
    many.pop_back();
    EXPECT_TRUE(planLayout(eleven, many));
}

TEST(PlanLayoutTest, TwinsWithNewIdsAtTheSamePlaces) {
    testing::LogCapture logs;
    const std::vector<LiveDisplay> now = {live(1, kPanel, 0, 0, true), live(7, kTwin, 1512, 0),
                                          live(8, kTwin, -1920, 0)};
    // Logged only when asked, and only when ambiguous.
    planLayout(desk(), now);
    SavedLayout l{.displays = {saved(withString("AAA1"), 0, 0, true)}};
    planLayout(l, {live(1, withString("AAA1"), 0, 0, true)}, true);
    EXPECT_TRUE(logs.messages().empty());
    const auto plan = planLayout(desk(), now, true);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->pairs, (std::vector<LayoutPair>{{1, 0}, {7, 1}, {8, 2}}));
    EXPECT_EQ(plan->ways, 2);
    EXPECT_TRUE(plan->ambiguous());
    EXPECT_TRUE(plan->alreadyMatches);
    EXPECT_EQ(plan->newMain, 1u);
    EXPECT_EQ(logs.messages(),
              std::vector<std::string>{
                  "layout \"Desk\": identical monitors, 2 ways to match; chose least movement "
                  "id=1->slot0(0,0) id=7->slot1(1512,0) id=8->slot2(-1920,0)"});
}

TEST(PlanLayoutTest, SlightlyDisplacedTwinsAreNotSwapped) {
    // Both enumeration orders: the cheaper pairing must win whether it is found first or last.
    for (bool reversed : {false, true}) {
        std::vector<LiveDisplay> list = {live(1, kPanel, 0, 0, true), live(3, kTwin, 1512, 24),
                                         live(4, kTwin, -1920, 30)};
        if (reversed) std::swap(list[1], list[2]);
        const auto plan = planLayout(desk(), list);
        ASSERT_TRUE(plan);
        std::vector<Move> expected = moves({{1, {0, 0}}, {3, {1512, 0}}, {4, {-1920, 0}}});
        if (reversed) std::swap(expected[1], expected[2]);
        EXPECT_EQ(plan->moves, expected) << reversed;
        EXPECT_EQ(plan->ways, 2);
        EXPECT_FALSE(plan->alreadyMatches);
    }
}

TEST(PlanLayoutTest, SerialStringsPairRegardlessOfPosition) {
    SavedLayout l{.displays = {saved(withString("CN0ABC1"), 0, 0, true),
                               saved(withString("CN0XYZ2"), 1920, 0)}};
    // Attached the other way round: each goes back to its own place.
    const auto plan = planLayout(
        l, {live(5, withString("CN0XYZ2"), 0, 0, true), live(6, withString("CN0ABC1"), 1920, 0)});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->ways, 1);
    EXPECT_FALSE(plan->ambiguous());
    EXPECT_EQ(plan->pairs, (std::vector<LayoutPair>{{5, 1}, {6, 0}}));
    EXPECT_EQ(plan->moves, moves({{5, {1920, 0}}, {6, {0, 0}}}));
    EXPECT_EQ(plan->newMain, 6u);
    EXPECT_FALSE(plan->alreadyMatches);
}

TEST(PlanLayoutTest, UnreadableSerialAndBuiltInPanelsStillMatch) {
    DisplayIdent savedExt = kTwin;
    savedExt.serialNumber = 5;
    DisplayIdent savedPanel = kPanel;
    savedPanel.serialNumber = 111222;
    SavedLayout l{.displays = {saved(savedPanel, 0, 0, true), saved(savedExt, 1512, -200)}};
    DisplayIdent livePanel = kPanel;
    livePanel.serialNumber = 333444;
    const auto plan = planLayout(l, {live(1, livePanel, 0, 0, true), live(2, kTwin, 1512, -200)});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->ways, 1);
    EXPECT_TRUE(plan->alreadyMatches);
    // The panel never pairs with an external monitor of its model.
    DisplayIdent externalPanelModel = kPanel;
    externalPanelModel.builtin = false;
    EXPECT_FALSE(
        planLayout(l, {live(1, externalPanelModel, 0, 0, true), live(2, kTwin, 1512, -200)}));
}

TEST(PlanLayoutTest, AlreadyMatchesWithinTwoPoints) {
    struct Case {
        double dx, dy;
        bool matches;
    };
    const Case cases[] = {{0, 0, true},    {2, -2, true}, {-2, 2, true},
                          {2.5, 0, false}, {0, 3, false}, {-3, 0, false}};
    SavedLayout l{.displays = {saved(kPanel, 100, 50, true), saved(withString("A1B2"), 1612, 20)}};
    for (const auto& c : cases) {
        const auto plan = planLayout(
            l, {live(1, kPanel, 0, 0, true), live(2, withString("A1B2"), 1512 + c.dx, -30 + c.dy)});
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->alreadyMatches, c.matches) << c.dx << "," << c.dy;
        EXPECT_EQ(plan->moves, moves({{1, {0, 0}}, {2, {1512, -30}}}));
    }
    // The right places but the wrong main display, or none: not in effect yet.
    auto plan =
        planLayout(l, {live(1, kPanel, 0, 0, false), live(2, withString("A1B2"), 1512, -30, true)});
    ASSERT_TRUE(plan);
    EXPECT_FALSE(plan->alreadyMatches);
    plan = planLayout(l, {live(1, kPanel, 0, 0), live(2, withString("A1B2"), 1512, -30)});
    ASSERT_TRUE(plan);
    EXPECT_FALSE(plan->alreadyMatches);
}

TEST(PlanLayoutTest, AnchorSlot) {
    const DisplayIdent a = withString("AAA1"), b = withString("BBB2"), c = withString("CCC3");
    struct Case {
        const char* what;
        std::vector<SavedDisplay> displays;
        std::vector<Move> expected;
    };
    const Case cases[] = {
        {"first main wins over origin",
         {saved(a, 0, 0), saved(b, 100, 10, true), saved(c, 300, 0, true)},
         moves({{1, {-100, -10}}, {2, {0, 0}}, {3, {200, -10}}})},
        {"first at the origin without main",
         {saved(a, 50, 5), saved(b, 0, 0), saved(c, 0, 0)},
         moves({{1, {50, 5}}, {2, {0, 0}}, {3, {0, 0}}})},
        {"slot 0 otherwise",
         {saved(a, 10, 10), saved(b, 30, 40), saved(c, -5, 0)},
         moves({{1, {0, 0}}, {2, {20, 30}}, {3, {-15, -10}}})},
    };
    for (const auto& cs : cases) {
        const auto plan = planLayout(SavedLayout{.displays = cs.displays},
                                     {live(1, a, 0, 0), live(2, b, 0, 0), live(3, c, 0, 0)});
        ASSERT_TRUE(plan) << cs.what;
        EXPECT_EQ(plan->moves, cs.expected) << cs.what;
    }
}

TEST(PlanLayoutTest, TiesAndSmallPenalties) {
    // Two saved places at the same spot: movement cannot tell the twins apart.
    SavedLayout l{.displays = {saved(kTwin, 0, 0, true), saved(kTwin, 0, 0)}};
    auto plan = planLayout(l, {live(1, kTwin, 0, 0), live(2, kTwin, 0, 0)});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->pairs, (std::vector<LayoutPair>{{1, 0}, {2, 1}})) << "first pairing wins ties";

    // The live main display belongs on the anchor slot.
    plan = planLayout(l, {live(1, kTwin, 0, 0), live(2, kTwin, 0, 0, true)});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->pairs, (std::vector<LayoutPair>{{1, 1}, {2, 0}}));
    EXPECT_EQ(plan->newMain, 2u);

    // Matching system UUIDs break the tie.
    l.displays[0].uuid = "U-FIRST";
    l.displays[1].uuid = "U-SECOND";
    auto first = live(1, kTwin, 0, 0);
    auto second = live(2, kTwin, 0, 0);
    first.uuid = "U-SECOND";
    second.uuid = "U-FIRST";
    plan = planLayout(l, {first, second});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->pairs, (std::vector<LayoutPair>{{1, 1}, {2, 0}}));
    // But a UUID never outweighs real movement.
    second.frame.x = 1920;
    l.displays[1].x = 1920;
    plan = planLayout(l, {first, second});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->pairs, (std::vector<LayoutPair>{{1, 0}, {2, 1}}));
}

TEST(MakeLayoutTest, FromAttachedDisplays) {
    std::vector<LiveDisplay> list = {live(1, kPanel, 0, 0, true), live(3, kTwin, 1512.5, -24)};
    list[0].uuid = "UUID-1";
    list[0].frame.width = 1512;
    const SavedLayout l = makeLayout("Desk", list, nullptr, Date{99});
    EXPECT_TRUE(std::regex_match(
        l.id, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
        << l.id;
    EXPECT_NE(makeLayout("Desk", list, nullptr, Date{99}).id, l.id);
    EXPECT_EQ(l.name, "Desk");
    EXPECT_EQ(l.savedAt, Date{99});
    EXPECT_FALSE(l.lastApplied);
    EXPECT_FALSE(l.autoApply);
    ASSERT_EQ(l.displays.size(), 2u);
    EXPECT_EQ(l.displays[0], (SavedDisplay{.ident = kPanel,
                                           .uuid = "UUID-1",
                                           .name = "m",
                                           .x = 0,
                                           .y = 0,
                                           .width = 1512,
                                           .height = 1080,
                                           .main = true}));
    EXPECT_EQ(l.displays[1], (SavedDisplay{.ident = kTwin,
                                           .name = "m",
                                           .x = 1512.5,
                                           .y = -24,
                                           .width = 1920,
                                           .height = 1080,
                                           .main = false}));
    // What was just saved is in effect.
    const auto plan = planLayout(l, list);
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->alreadyMatches);
}

}  // namespace
}  // namespace seam
