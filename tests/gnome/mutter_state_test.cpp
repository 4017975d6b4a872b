// The compositor's display state mapped to global display space and moves mapped
// to its configuration records, on states recorded from its replies.
#include <gtest/gtest.h>

#include <map>

#include "platform/gnome/mutter_state.h"
#include "support/fake_mutter.h"

namespace seam {
namespace {

using testing::monitorOn;

// Two virtual monitors side by side, as the headless compositor starts them.
MutterState sideBySide() {
    return {.serial = 2,
            .monitors = {monitorOn("Meta-0", 1920, 1080), monitorOn("Meta-1", 1280, 1024)},
            .logical = {{.x = 0, .y = 0, .primary = true, .connectors = {"Meta-0"}},
                        {.x = 1920, .y = 0, .connectors = {"Meta-1"}}}};
}

// The main display on the right, below the other's top edge.
MutterState mainOnTheRight() {
    return {.serial = 7,
            .monitors = {monitorOn("DP-1", 2560, 1440), monitorOn("HDMI-1", 1920, 1080)},
            .logical = {{.x = 0, .y = 0, .connectors = {"DP-1"}},
                        {.x = 2560, .y = 200, .primary = true, .connectors = {"HDMI-1"}}}};
}

// A laptop panel at twice the density next to a monitor turned a quarter.
MutterState scaledAndTurned(std::uint32_t layoutMode) {
    MutterState s{
        .serial = 11,
        .monitors = {monitorOn("eDP-1", 2880, 1800), monitorOn("DP-2", 1920, 1080)},
        .logical = {{.x = 0, .y = 0, .scale = 2, .primary = true, .connectors = {"eDP-1"}},
                    {.x = 1440, .y = 0, .transform = 1, .connectors = {"DP-2"}}},
        .layoutMode = layoutMode,
        .supportsChangingLayoutMode = layoutMode == kLayoutLogical};
    if (layoutMode == kLayoutPhysical) s.logical[1].x = 2880;
    return s;
}

MutterState mirroredAndOff() {
    return {.monitors = {monitorOn("DP-1", 1920, 1080), monitorOn("HDMI-1", 1920, 1080),
                         monitorOn("DP-3", 1280, 1024)},
            .logical = {{.x = 0, .y = 0, .connectors = {"DP-1", "HDMI-1"}}}};
}

struct Shown {
    Rect frame;
    std::string mirrorOf;  // empty: none
};

TEST(MutterLayoutTest, DisplaysInGlobalSpace) {
    struct Case {
        const char* name;
        MutterState state;
        std::map<std::string, Shown> active;
        std::vector<std::string> inactive;
        std::string main;
    };
    const Case cases[] = {
        {"main at the origin",
         sideBySide(),
         {{"Meta-0", {{0, 0, 1920, 1080}}}, {"Meta-1", {{1920, 0, 1280, 1024}}}},
         {},
         "Meta-0"},
        {"main elsewhere: everything shifted",
         mainOnTheRight(),
         {{"DP-1", {{-2560, -200, 2560, 1440}}}, {"HDMI-1", {{0, 0, 1920, 1080}}}},
         {},
         "HDMI-1"},
        {"logical layout divides by the scale; a quarter turn swaps the sides",
         scaledAndTurned(kLayoutLogical),
         {{"eDP-1", {{0, 0, 1440, 900}}}, {"DP-2", {{1440, 0, 1080, 1920}}}},
         {},
         "eDP-1"},
        {"physical layout keeps mode sizes",
         scaledAndTurned(kLayoutPhysical),
         {{"eDP-1", {{0, 0, 2880, 1800}}}, {"DP-2", {{2880, 0, 1080, 1920}}}},
         {},
         "eDP-1"},
        {"mirrors follow the first of their set; no primary: the first is main",
         mirroredAndOff(),
         {{"DP-1", {{0, 0, 1920, 1080}}}, {"HDMI-1", {{0, 0, 1920, 1080}, "DP-1"}}},
         {"DP-3"},
         "DP-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectorIds ids;
        const MutterLayout layout = layoutOf(c.state, ids);
        EXPECT_EQ(layout.main, ids.idFor(c.main));
        ASSERT_EQ(layout.displays.size(), c.active.size() + c.inactive.size());
        for (const auto& [connector, shown] : c.active) {
            const MutterDisplay* d = layout.find(ids.idFor(connector));
            ASSERT_NE(d, nullptr) << connector;
            EXPECT_TRUE(d->active) << connector;
            EXPECT_EQ(d->frame, shown.frame) << connector;
            const auto mirror =
                shown.mirrorOf.empty() ? std::nullopt : std::optional(ids.idFor(shown.mirrorOf));
            EXPECT_EQ(d->mirrorOf, mirror) << connector;
        }
        for (const std::string& connector : c.inactive) {
            const MutterDisplay* d = layout.find(ids.idFor(connector));
            ASSERT_NE(d, nullptr) << connector;
            EXPECT_FALSE(d->active) << connector;
        }
        EXPECT_EQ(layout.active().size(), c.active.size());
    }
}

TEST(MutterLayoutTest, ConnectorIdsAreStableAcrossReaders) {
    ConnectorIds a, b;
    const std::uint32_t hdmi = a.idFor("HDMI-1");
    EXPECT_NE(hdmi, 0u);
    EXPECT_NE(a.idFor("DP-1"), hdmi);
    EXPECT_EQ(b.idFor("DP-1"), a.idFor("DP-1"));
    EXPECT_EQ(b.idFor("HDMI-1"), hdmi);
    EXPECT_EQ(a.connectorOf(hdmi), "HDMI-1");
    EXPECT_FALSE(a.connectorOf(hdmi + 1));
}

struct Placed {
    int x, y;
    bool primary;
    bool operator==(const Placed&) const = default;
};

TEST(MutterApplyTest, MovesBecomeOneConfiguration) {
    struct Move {
        std::string connector;
        int x, y;
    };
    struct Case {
        const char* name;
        MutterState state;
        std::vector<Move> moves;
        std::vector<Placed> placed;  // per logical monitor; empty: nothing sent
        std::string refused;         // a part of the reason
    };
    const Case cases[] = {
        {"to the left: shifted to start at 0",
         sideBySide(),
         {{"Meta-1", -1280, 100}},
         {{1280, 0, true}, {0, 100, false}}},
        {"above", sideBySide(), {{"Meta-1", 300, -1024}}, {{0, 1024, true}, {300, 0, false}}},
        {"the one moved to the origin becomes primary",
         sideBySide(),
         {{"Meta-1", 0, 0}, {"Meta-0", -1920, 0}},
         {{0, 0, false}, {1920, 0, true}}},
        {"main elsewhere stays primary",
         mainOnTheRight(),
         {{"DP-1", -2560, 0}},
         {{0, 0, false}, {2560, 0, true}}},
        {"scaled sizes decide what touches",
         scaledAndTurned(kLayoutLogical),
         {{"DP-2", 1440, 899}},
         {{0, 0, true}, {1440, 899, false}}},
        {"a quarter turn too",
         scaledAndTurned(kLayoutLogical),
         {{"DP-2", -1080, -500}},
         {{1080, 500, true}, {0, 0, false}}},
        {"unscaled, the same place overlaps",
         scaledAndTurned(kLayoutPhysical),
         {{"DP-2", 1440, 899}},
         {},
         "overlap"},
        {"a mirror set moves as one",
         [] {
             MutterState s = mirroredAndOff();
             s.logical.push_back({.x = 1920, .y = 0, .connectors = {"DP-3"}});
             return s;
         }(),
         {{"HDMI-1", 3200, 0}},
         {{1280, 0, true}, {0, 0, false}}},
        {"where it already is", sideBySide(), {{"Meta-1", 1920, 0}}, {}},
        {"a gap", sideBySide(), {{"Meta-1", 1930, 0}}, {}, "not touch"},
        {"corners alone", sideBySide(), {{"Meta-1", 1920, 1080}}, {}, "not touch"},
        {"overlapping", sideBySide(), {{"Meta-1", 1000, 0}}, {}, "overlap"},
        {"a display that is off", mirroredAndOff(), {{"DP-3", 1920, 0}}, {}, "not active"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectorIds ids;
        std::vector<DisplayMove> moves;
        for (const Move& m : c.moves) moves.push_back({ids.idFor(m.connector), m.x, m.y});
        const ApplyPlan plan = planApply(c.state, ids, moves);
        if (!c.refused.empty()) {
            const auto* r = std::get_if<ApplyRefused>(&plan);
            ASSERT_NE(r, nullptr);
            EXPECT_NE(r->reason.find(c.refused), std::string::npos) << r->reason;
            continue;
        }
        if (c.placed.empty()) {
            EXPECT_TRUE(std::holds_alternative<NothingToApply>(plan));
            continue;
        }
        const auto* apply = std::get_if<MutterApply>(&plan);
        ASSERT_NE(apply, nullptr);
        std::vector<Placed> placed;
        for (const ApplyLogicalMonitor& l : apply->logical) placed.push_back({l.x, l.y, l.primary});
        EXPECT_EQ(placed, c.placed);
    }
}

TEST(MutterApplyTest, EverythingButPositionsIsRestated) {
    for (const std::uint32_t mode : {kLayoutLogical, kLayoutPhysical}) {
        SCOPED_TRACE(mode);
        const MutterState state = scaledAndTurned(mode);
        ConnectorIds ids;
        const int below = mode == kLayoutLogical ? 900 : 1800;
        const auto plan = planApply(state, ids, {{ids.idFor("DP-2"), 0, below}});
        const auto* apply = std::get_if<MutterApply>(&plan);
        ASSERT_NE(apply, nullptr);
        EXPECT_EQ(apply->serial, 11u);
        EXPECT_EQ(apply->method, kMethodPersistent);
        // The layout mode goes along only where the compositor lets it be chosen.
        EXPECT_EQ(apply->layoutMode, mode == kLayoutLogical ? std::optional(mode) : std::nullopt);
        ASSERT_EQ(apply->logical.size(), 2u);
        EXPECT_EQ(apply->logical[0],
                  (ApplyLogicalMonitor{.x = 0,
                                       .y = 0,
                                       .scale = 2,
                                       .transform = 0,
                                       .primary = true,
                                       .monitors = {{"eDP-1", "2880x1800@60.000"}}}));
        EXPECT_EQ(apply->logical[1],
                  (ApplyLogicalMonitor{.x = 0,
                                       .y = below,
                                       .scale = 1,
                                       .transform = 1,
                                       .primary = false,
                                       .monitors = {{"DP-2", "1920x1080@60.000"}}}))
            << "moved below the panel";
    }
}

}  // namespace
}  // namespace seam
