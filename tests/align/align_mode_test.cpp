#include "align/align_mode.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/text.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_server.h"
#include "support/log_capture.h"

namespace seam {
namespace {

struct FakeOverlays : OverlayFactory {
    struct Surface : OverlaySurface {
        FakeOverlays* owner;
        std::uint32_t id;
        Surface(FakeOverlays* o, std::uint32_t i) : owner(o), id(i) {}
        ~Surface() override { owner->open_.erase(id); }
        void redraw(const OverlayContent& c) override { owner->drawn[id] = c; }
        void makeKey() override { owner->key = id; }
        std::optional<Point> clickPoint() const override {
            auto it = owner->clickPoints.find(id);
            return it == owner->clickPoints.end() ? std::nullopt : std::optional(it->second);
        }
    };
    std::unique_ptr<OverlaySurface> open(std::uint32_t id, const Rect& frame,
                                         std::function<void()> onClick,
                                         std::function<void()> onEsc) override {
        frames[id] = frame;
        if (uncovered.count(id)) return nullptr;
        clicks[id] = std::move(onClick);
        escapes[id] = std::move(onEsc);
        open_[id] = true;
        return std::make_unique<Surface>(this, id);
    }
    void activate() override { ++activations; }
    bool isOpen(std::uint32_t id) const { return open_.count(id) != 0; }

    std::map<std::uint32_t, Rect> frames;
    std::map<std::uint32_t, std::function<void()>> clicks, escapes;
    std::map<std::uint32_t, OverlayContent> drawn;
    std::map<std::uint32_t, bool> open_;
    std::map<std::uint32_t, Point> clickPoints;
    std::set<std::uint32_t> uncovered;
    std::uint32_t key = 0;
    int activations = 0;
};

using Pick = AlignMode::Pick;
constexpr AlignMode::Start Started = AlignMode::Start::started;

class AlignModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.addDisplay({.id = 1, .frame = {0, 0, 1710, 1112}, .builtin = true});
        server.addDisplay({.id = 2, .frame = {1710, 0, 1280, 960}});
        mode.onPicked = [this](const Pick& a, const Pick& b) { picked.push_back({a, b}); };
    }
    void TearDown() override { setKorean(false); }
    void clickAt(std::uint32_t id, Point p) {
        server.setPointer(p);
        overlays.clicks.at(id)();
    }

    SimDisplayServer server;
    Arrangement arrangement{server};
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeOverlays overlays;
    AlignMode mode{arrangement, server, scheduler, overlays};
    std::vector<std::pair<Pick, Pick>> picked;
};

TEST_F(AlignModeTest, StartsOnlyWithExactlyTwoDisplays) {
    testing::LogCapture capture;
    server.addDisplay({.id = 3, .frame = {-800, 0, 800, 600}});
    EXPECT_EQ(mode.start(), AlignMode::Start::notTwoDisplays);
    EXPECT_FALSE(mode.isActive());
    EXPECT_TRUE(overlays.frames.empty());
    server.removeDisplay(3);
    server.removeDisplay(2);
    EXPECT_EQ(mode.start(), AlignMode::Start::notTwoDisplays);
    EXPECT_TRUE(capture.messages().empty());

    server.addDisplay({.id = 2, .frame = {1710, 0, 1280, 960}});
    ASSERT_EQ(mode.start(), Started);
    EXPECT_TRUE(mode.isActive());
    EXPECT_EQ(overlays.frames.at(2), (Rect{1710, 0, 1280, 960}));
    EXPECT_EQ(capture.messages(), std::vector<std::string>{"align mode start"});
}

TEST_F(AlignModeTest, ADisplayWithoutAnOverlayLeavesNothingOpen) {
    for (std::uint32_t missing : {1u, 2u}) {
        overlays.uncovered = {missing};
        EXPECT_EQ(mode.start(), AlignMode::Start::uncovered) << missing;
        EXPECT_FALSE(mode.isActive());
        EXPECT_TRUE(overlays.open_.empty()) << missing;
    }
}

TEST_F(AlignModeTest, WhereTheOverlaySawTheClickBeatsThePointer) {
    struct Case {
        std::optional<Point> seen;
        Side side;
        double pos;
    };
    // The pointer sits near the left edge; the overlay knows better when it can.
    const Case cases[] = {{std::nullopt, Side::left, 500}, {Point{1705, 300}, Side::right, 300}};
    for (const Case& c : cases) {
        overlays.clickPoints.clear();
        if (c.seen) overlays.clickPoints[1] = *c.seen;
        ASSERT_EQ(mode.start(), Started);
        clickAt(1, {3, 500});
        ASSERT_TRUE(mode.first());
        EXPECT_EQ(mode.first()->side, c.side);
        EXPECT_EQ(mode.first()->pos, c.pos);
    }
}

TEST_F(AlignModeTest, KeyOverlayIsTheOneUnderThePointer) {
    struct Case {
        Point pointer;
        std::uint32_t key;
    };
    const Case cases[] = {{{100, 100}, 1}, {{2000, 100}, 2}, {{2000, 1000}, 1}, {{-5, -5}, 1}};
    for (const Case& c : cases) {
        server.setPointer(c.pointer);
        ASSERT_EQ(mode.start(), Started);
        EXPECT_EQ(overlays.key, c.key) << c.pointer.x << "," << c.pointer.y;
    }
}

TEST_F(AlignModeTest, PickClampsIntoTheFrameOnePointInsideTheFarEdges) {
    const Rect f{1710, 0, 1280, 960};
    struct Case {
        Point p;
        Side side;
        double pos;
        Point edge;
    };
    const Case cases[] = {
        {{2990, 500}, Side::right, 500, {2989, 500}},  // on the border pixel column past the edge
        {{2000, 960}, Side::bottom, 2000, {2000, 959}},
        {{1600, -20}, Side::top, 1710, {1710, 0}},
        {{1800, 5000}, Side::left, 959, {1710, 959}},
    };
    for (const Case& c : cases) {
        const Pick pk = AlignMode::pick(2, f, c.p, c.side);
        EXPECT_EQ(pk.pos, c.pos);
        EXPECT_EQ(pk.edgePt, c.edge);
    }
}

TEST_F(AlignModeTest, TwoClicksPickOppositeEdgesAndCompleteAfterAQuarterSecond) {
    testing::LogCapture capture;
    ASSERT_EQ(mode.start(), Started);
    clickAt(1, {300, 4});     // near the top of the panel
    clickAt(2, {2610, 700});  // anywhere on the other screen: its bottom edge is used
    EXPECT_TRUE(picked.empty());
    EXPECT_TRUE(mode.isActive());
    // The second marker is on screen during the wait.
    ASSERT_TRUE(overlays.drawn.at(2).marker);
    EXPECT_EQ(*overlays.drawn.at(2).marker, (Point{900, 948}));
    scheduler.advance(0.24);
    EXPECT_TRUE(picked.empty());
    scheduler.advance(0.01);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].first, (Pick{1, Side::top, 300, {300, 0}}));
    EXPECT_EQ(picked[0].second, (Pick{2, Side::bottom, 2610, {2610, 959}}));
    EXPECT_FALSE(mode.isActive());
    EXPECT_FALSE(overlays.isOpen(1));
    const std::vector<std::string> expected = {"align mode start",
                                               "align pick1 id=1 side=top pos=300",
                                               "align pick2 id=2 side=bottom pos=2610"};
    EXPECT_EQ(capture.messages(), expected);
}

TEST_F(AlignModeTest, SecondClickOnTheSameScreenReplacesTheFirst) {
    ASSERT_EQ(mode.start(), Started);
    clickAt(1, {300, 4});
    clickAt(1, {1705, 600});
    EXPECT_EQ(mode.first(), (Pick{1, Side::right, 600, {1709, 600}}));
    EXPECT_FALSE(overlays.drawn.at(2).marker);
    EXPECT_FALSE(overlays.drawn.at(2).edge);
    scheduler.advance(1);
    EXPECT_TRUE(picked.empty());
}

TEST_F(AlignModeTest, MarkerStaysTwelvePointsInsideButPosDoesNot) {
    ASSERT_EQ(mode.start(), Started);
    clickAt(1, {2, 3});  // top-left corner: nearest edge is left
    const OverlayContent& c = overlays.drawn.at(1);
    ASSERT_TRUE(c.marker);
    EXPECT_EQ(*c.marker, (Point{12, 12}));
    EXPECT_EQ(mode.first()->pos, 3);
    ASSERT_TRUE(c.edge);
    EXPECT_EQ(c.edge->first, Side::left);
}

TEST_F(AlignModeTest, EscapeAndStopCancelWithoutPicking) {
    testing::LogCapture capture;
    ASSERT_EQ(mode.start(), Started);
    clickAt(1, {300, 4});
    overlays.escapes.at(2)();
    EXPECT_FALSE(mode.isActive());
    EXPECT_EQ(capture.messages().back(), "align mode cancelled (esc)");
    // A late click reaches nothing.
    overlays.clicks.at(2)();
    scheduler.advance(1);
    EXPECT_TRUE(picked.empty());

    // Stopped during the quarter-second wait: the completion must not fire.
    ASSERT_EQ(mode.start(), Started);
    clickAt(1, {300, 4});
    clickAt(2, {2000, 500});
    mode.stop();
    scheduler.advance(1);
    EXPECT_TRUE(picked.empty());
}

TEST_F(AlignModeTest, TextsFollowThePicksInBothLanguages) {
    struct Case {
        bool korean;
        const char* startSub;
        const char* firstSub;
        const char* otherSub;
    };
    const Case cases[] = {
        {false,
         "Click near an edge. The closest edge becomes the connection point.\nExample: to cross "
         "up and to the left, click the left part of the top edge · Esc to cancel",
         "Laptop, top edge\nClick elsewhere to change it · Esc to cancel",
         "It connects along the bottom edge of the monitor at that point · Esc to cancel"},
        {true,
         "가장자리 근처를 누르면 가장 가까운 끝이 연결점이 돼요\n예: 노트북 왼쪽 위로 넘어가고 "
         "싶으면 노트북 화면 위쪽 왼편을 클릭 · Esc 취소",
         "노트북 위쪽 가장자리\n다른 곳을 누르면 바꿀 수 있어요 · Esc 취소",
         "모니터의 아래쪽 가장자리에서 이 높이로 이어져요 · Esc 취소"},
    };
    for (const Case& c : cases) {
        setKorean(c.korean);
        ASSERT_EQ(mode.start(), Started);
        EXPECT_EQ(overlays.drawn.at(1).sub, c.startSub);
        clickAt(1, {300, 4});
        EXPECT_EQ(overlays.drawn.at(1).sub, c.firstSub);
        EXPECT_EQ(overlays.drawn.at(2).sub, c.otherSub);
        EXPECT_EQ(overlays.drawn.at(2).title,
                  c.korean ? "② 이 화면에서 들어올 자리를 클릭하세요"
                           : "② Click where you want to come in on this screen");
    }
}

TEST(AlignTexts, CapitalisesEachWord) {
    EXPECT_EQ(capitalisedWords("LapTop"), "Laptop");
    EXPECT_EQ(capitalisedWords("monitor"), "Monitor");
    EXPECT_EQ(capitalisedWords("big wide screen"), "Big Wide Screen");
}

TEST(AlignTexts, ConfirmationNamesBothScreensAndSides) {
    SimDisplayServer server;
    server.addDisplay({.id = 1, .frame = {0, 0, 1710, 1112}, .builtin = true});
    server.addDisplay({.id = 2, .frame = {1710, 0, 1280, 960}});
    Arrangement arrangement{server};
    const Pick a{1, Side::top, 300, {300, 0}}, b{2, Side::bottom, 900, {900, 959}};
    const ConfirmTexts en = confirmTexts(arrangement, a, b);
    EXPECT_EQ(en.informative,
              "The top edge of the Laptop will meet the bottom edge of the monitor, joined at "
              "the two points you clicked.");
    EXPECT_EQ(en.confirm, "Connect");
    setKorean(true);
    const ConfirmTexts ko = confirmTexts(arrangement, a, b);
    setKorean(false);
    EXPECT_EQ(ko.message, "이렇게 이을까요?");
    EXPECT_EQ(ko.informative,
              "노트북의 위쪽 가장자리와 모니터의 아래쪽 가장자리를, 클릭한 두 점이 맞닿게 이어요.");
}

}  // namespace
}  // namespace seam
