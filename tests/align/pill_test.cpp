#include "align/pill.h"

#include <gtest/gtest.h>

#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_server.h"

namespace seam {
namespace {

TEST(ToastFrame, SitsBelowRightAndFlipsNearEdges) {
    const std::vector<Disp> list = {{1, {0, 0, 1710, 1112}}, {2, {1710, 0, 1280, 960}}};
    const Rect main{0, 0, 1710, 1112};
    struct Case {
        const char* name;
        Point p;
        Point origin;
    };
    const Case cases[] = {
        {"open space", {500, 500}, {516, 518}},
        {"near the right edge", {1650, 500}, {1534, 518}},
        {"near the bottom edge", {500, 1090}, {416 + 100, 1042}},
        {"bottom-right corner of the second screen", {2950, 940}, {2834, 892}},
        {"outside every display: main bounds", {-100, -100}, {-84, -82}},
        {"exactly at the limit stays right", {1710 - 8 - 100 - 16, 500}, {1710 - 8 - 100, 518}},
    };
    for (const Case& c : cases) {
        const Rect r = toastFrame(c.p, 100, 30, list, main);
        EXPECT_EQ(r.origin(), c.origin) << c.name;
        EXPECT_EQ(r.width, 100);
    }
}

struct FakeToasts : ToastFactory {
    struct Window : ToastWindow {
        FakeToasts* owner;
        int index;
        Window(FakeToasts* o, int i) : owner(o), index(i) {}
        void fadeIn(double) override { owner->state[index] = "shown"; }
        void fadeOut(double seconds, std::function<void()> done) override {
            owner->state[index] = "fading";
            owner->fadeSeconds = seconds;
            owner->pendingDone.push_back(std::move(done));
        }
        void hide() override { owner->state[index] = "hidden"; }
    };
    Point measure(const std::string& text) override { return {7.0 * text.size(), 14}; }
    double scaleOf(const Rect& screen) override { return screen.width == 1710 ? panelScale : 1; }
    std::shared_ptr<ToastWindow> open(const std::string&, const Rect& frame) override {
        frames.push_back(frame);
        state.push_back("new");
        return std::make_shared<Window>(this, int(state.size()) - 1);
    }
    void finishFades() {
        auto done = std::move(pendingDone);
        pendingDone.clear();
        for (auto& d : done) d();
    }
    std::vector<Rect> frames;
    std::vector<std::string> state;
    std::vector<std::function<void()>> pendingDone;
    double fadeSeconds = 0;
    double panelScale = 1;
};

class PillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.addDisplay({.id = 1, .frame = {0, 0, 1710, 1112}, .builtin = true});
        server.addDisplay({.id = 2, .frame = {1710, 0, 1280, 960}});
    }
    SimDisplayServer server;
    Arrangement arrangement{server};
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeToasts toasts;
    Pill pill{arrangement, scheduler, toasts};
};

TEST_F(PillTest, SizesToTheLabelAndFadesAfterItsTime) {
    pill.show("hello", {500, 500}, 1.5);
    ASSERT_EQ(toasts.frames.size(), 1u);
    EXPECT_EQ(toasts.frames[0], (Rect{516, 518, 35 + 20, 14 + 10}));
    scheduler.advance(1.49);
    EXPECT_EQ(toasts.state[0], "shown");
    scheduler.advance(0.01);
    EXPECT_EQ(toasts.state[0], "fading");
    EXPECT_EQ(toasts.fadeSeconds, 0.25);
    toasts.finishFades();
    EXPECT_EQ(toasts.state[0], "hidden");
    EXPECT_EQ(pill.window(), nullptr);
}

TEST_F(PillTest, AScaledScreenTakesMorePixelsAndFlipsSooner) {
    toasts.panelScale = 2;
    struct Case {
        Point near;
        Rect frame;
    };
    const Case cases[] = {
        {{500, 500}, {516, 518, 110, 48}},
        {{1600, 500}, {1600 - 16 - 110, 518, 110, 48}},  // 110 wide reaches past the edge
        {{2000, 100}, {2016, 118, 55, 24}},              // the external is not scaled
    };
    for (const Case& c : cases) {
        pill.show("hello", c.near);
        ASSERT_FALSE(toasts.frames.empty());
        EXPECT_EQ(toasts.frames.back(), c.frame) << c.near.x;
    }
}

TEST_F(PillTest, ANewerToastReplacesTheOlderAndSurvivesItsFade) {
    pill.show("first", {500, 500}, 1.0);
    scheduler.advance(0.5);
    pill.show("second", {500, 500}, 1.0);
    EXPECT_EQ(toasts.state[0], "hidden");
    const auto second = pill.window();
    ASSERT_NE(second, nullptr);
    scheduler.advance(0.5);  // the first toast's time is up
    toasts.finishFades();
    EXPECT_EQ(pill.window(), second);
    EXPECT_EQ(toasts.state[1], "shown");
    scheduler.advance(0.5);
    toasts.finishFades();
    EXPECT_EQ(toasts.state[1], "hidden");
    EXPECT_EQ(pill.window(), nullptr);
}

}  // namespace
}  // namespace seam
