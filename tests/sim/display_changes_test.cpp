// Change flags computed by comparing two snapshots of the displays, and the
// simulated server's events.
#include "platform/display_changes.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_display_changes.h"

namespace seam {
namespace {

using namespace changeFlag;

DisplayState on(std::uint32_t id, Rect f, std::optional<std::uint32_t> mirrorOf = std::nullopt) {
    return {id, true, f, mirrorOf};
}
DisplayState off(std::uint32_t id) {
    return {id, false, {}, std::nullopt};
}

// The same display with the EDID its monitor gave.
DisplayState showing(DisplayState d, std::vector<std::uint8_t> edid) {
    d.edid = std::move(edid);
    return d;
}

const Rect kPanel{0, 0, 1710, 1112};
const Rect kRight{1710, 0, 1280, 960};

TEST(DiffSnapshotsTest, FlagsForEachKindOfChange) {
    const DisplaySnapshot two{{on(1, kPanel), on(2, kRight)}, 1};
    struct Case {
        const char* what;
        DisplaySnapshot before, after;
        std::vector<DisplayChange> expected;
    };
    const Case cases[] = {
        {"nothing", two, two, {}},
        {"plugged in", {{on(1, kPanel)}, 1}, two, {{2, add | enabled}}},
        {"unplugged", two, {{on(1, kPanel)}, 1}, {{2, remove | disabled}}},
        {"connected without a picture",
         {{on(1, kPanel)}, 1},
         {{on(1, kPanel), off(2)}, 1},
         {{2, add}}},
        {"switched on", {{on(1, kPanel), off(2)}, 1}, two, {{2, enabled}}},
        {"switched off", two, {{on(1, kPanel), off(2)}, 1}, {{2, disabled}}},
        {"mirrored", two, {{on(1, kPanel), on(2, kPanel, 1)}, 1}, {{2, mirror | moved | setMode}}},
        {"unmirrored",
         {{on(1, kPanel), on(2, kPanel, 1)}, 1},
         two,
         {{2, unmirror | moved | setMode}}},
        {"moved", two, {{on(1, kPanel), on(2, {1710, 100, 1280, 960})}, 1}, {{2, moved}}},
        {"new resolution", two, {{on(1, kPanel), on(2, {1710, 0, 1920, 1080})}, 1}, {{2, setMode}}},
        {"main moved over",
         two,
         {{on(1, {-1710, 0, 1710, 1112}), on(2, {0, 0, 1280, 960})}, 2},
         {{1, moved | setMain}, {2, moved | setMain}}},
        {"another monitor on the same connector",
         {{on(1, kPanel), showing(on(2, kRight), {1, 2})}, 1},
         {{on(1, kPanel), showing(on(2, kRight), {1, 3})}, 1},
         {{2, remove | add | disabled | enabled}}},
        {"another monitor on a dark connector",
         {{on(1, kPanel), showing(off(2), {1, 2})}, 1},
         {{on(1, kPanel), showing(off(2), {1, 3})}, 1},
         {{2, remove | add}}},
        {"EDID read again unchanged",
         {{on(1, kPanel), showing(on(2, kRight), {1, 2})}, 1},
         {{on(1, kPanel), showing(on(2, kRight), {1, 2})}, 1},
         {}},
        {"EDID unreadable for a moment",
         {{on(1, kPanel), showing(on(2, kRight), {1, 2})}, 1},
         two,
         {}},
        {"EDID read for the first time",
         two,
         {{on(1, kPanel), showing(on(2, kRight), {1, 2})}, 1},
         {}},
    };
    for (const Case& c : cases) EXPECT_EQ(diffSnapshots(c.before, c.after), c.expected) << c.what;
}

TEST(DiffSnapshotsTest, SnapshotReadsTheServer) {
    SimDisplayServer server;
    server.addDisplay({.id = 1, .frame = kPanel, .builtin = true});
    server.addDisplay({.id = 2, .frame = kRight});
    server.addDisplay({.id = 3, .frame = kRight, .active = false});
    server.addDisplay({.id = 4, .frame = kPanel, .mirrorOf = 1});
    const DisplaySnapshot s = takeSnapshot(server);
    EXPECT_EQ(s, (DisplaySnapshot{{on(1, kPanel), on(2, kRight), off(3), on(4, kPanel, 1)}, 1}));
}

TEST(SimDisplayChangesTest, PollReportsEachChangedDisplayAfterItsBeginEvent) {
    SimDisplayServer server;
    server.addDisplay({.id = 1, .frame = kPanel});
    SimDisplayChanges changes(server);
    std::vector<DisplayChange> seen;
    ASSERT_EQ(changes.registerCallback([&](std::uint32_t d, std::uint32_t f) {
        seen.push_back({d, f});
    }),
              0);
    changes.poll();
    EXPECT_TRUE(seen.empty());
    server.addDisplay({.id = 2, .frame = kRight});
    server.addDisplay({.id = 3, .frame = {-1280, 0, 1280, 960}});
    changes.poll();
    EXPECT_EQ(seen, (std::vector<DisplayChange>{{2, beginConfiguration},
                                                {3, beginConfiguration},
                                                {2, add | enabled},
                                                {3, add | enabled}}));
}

}  // namespace
}  // namespace seam
