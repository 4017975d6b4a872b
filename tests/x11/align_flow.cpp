// Before Xlib, whose macros clash with its names.
#include <gtest/gtest.h>

#include "align_flow.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <vector>

#include "window_tree.h"
#include "x11_environment.h"

namespace seam::testing {

namespace {

// The standard arrangement: the built-in panel, then the external to its right.
const std::vector<WindowRect> kMonitors = {{0, 0, 1710, 1112}, {1710, 0, 1280, 960}};

std::vector<ShownWindow> overlays(WindowTree& tree, pid_t pid) {
    std::vector<ShownWindow> out;
    for (const ShownWindow& w : tree.shownBy(pid))
        if (w.overrideRedirect && w.rect.width > 600) out.push_back(w);
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.rect.x < b.rect.x; });
    return out;
}

// Managed windows larger than a tray icon.
std::vector<ShownWindow> questions(WindowTree& tree, pid_t pid) {
    std::vector<ShownWindow> out;
    for (const ShownWindow& w : tree.shownBy(pid))
        if (!w.overrideRedirect && w.rect.width >= 100) out.push_back(w);
    return out;
}

std::string describe(const std::vector<ShownWindow>& windows) {
    std::ostringstream s;
    for (const ShownWindow& w : windows)
        s << w.rect.width << "x" << w.rect.height << "+" << w.rect.x << "+" << w.rect.y
          << (w.overrideRedirect ? " override-redirect" : "") << "\n";
    return s.str();
}

// A tray icon may stay, held in a tray; nothing else of ours may.
bool leftOver(const ShownWindow& w) {
    return (w.overrideRedirect && w.topLevel == w.id) || w.rect.width >= 100;
}

bool onOneMonitor(const WindowRect& r) {
    return std::any_of(kMonitors.begin(), kMonitors.end(), [&](const WindowRect& m) {
        // Its own size, not stretched into a tile of the monitor.
        return r.inside(m) && r.width * 2 < m.width && r.height * 2 < m.height;
    });
}

// The undo toast: a small override-redirect window of ours, inside the monitor
// under the pointer, sized for that monitor's scale and cut to a rounded shape.
void checkToast(WindowTree& tree, pid_t pid, User& user, MonitorRatios ratios) {
    const auto toast = [&] {
        for (const ShownWindow& w : tree.shownBy(pid))
            // A tray icon is ours too, but held in a tray: not a window of its own.
            if (w.overrideRedirect && w.topLevel == w.id && w.rect.width < 600 &&
                w.rect.height < 200)
                return w;
        return ShownWindow{};
    };
    ASSERT_TRUE(eventually([&] { return toast().id != 0; }));
    const ShownWindow t = toast();
    const Pos p = user.pointer();
    const bool onPanel = p.x < 1710;
    const WindowRect& monitor = kMonitors[onPanel ? 0 : 1];
    const double ratio = onPanel ? ratios.panel : ratios.external;
    EXPECT_GE(t.rect.height, 20 * ratio);
    EXPECT_LE(t.rect.height, 40 * ratio);
    EXPECT_TRUE(t.rect.inside(monitor)) << describe({t}) << " pointer " << p.x << "," << p.y;
    const int w = t.rect.width, h = t.rect.height;
    EXPECT_FALSE(user.shapeContains(t.id, 0, 0));
    EXPECT_FALSE(user.shapeContains(t.id, w - 1, h - 1));
    EXPECT_TRUE(user.shapeContains(t.id, w / 2, 0));
    EXPECT_TRUE(user.shapeContains(t.id, w - h / 2, h - 1));
}

}  // namespace

std::vector<ShownWindow> overlaysOf(WindowTree& tree, const Program& program) {
    return overlays(tree, program.pid());
}

void alignTwoClicksConfirmAndUndo(const Program& program, User& user, MonitorRatios ratios) {
    WindowTree tree;
    const pid_t pid = program.pid();
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_a) && user.heldByProgram(XK_z); }))
        << program.logText();
    user.keys(kAlignKeys);
    const auto covering = [&] {
        const std::vector<ShownWindow> o = overlays(tree, pid);
        return o.size() == 2 && o[0].rect == kMonitors[0] && o[1].rect == kMonitors[1];
    };
    ASSERT_TRUE(eventually(covering)) << describe(overlays(tree, pid)) << program.logText();
    for (const ShownWindow& o : overlays(tree, pid))
        EXPECT_TRUE(tree.onTop(o)) << "covered: " << describe({o});

    user.click(300, 2);  // near the top edge of the built-in panel, x=300
    ASSERT_TRUE(program.waitForLog("align pick1")) << program.logText();
    // The marker is drawn at the clicked x just below the top band, in the band's
    // colour; a little to the side lies only the dimmed screen.
    const auto marked = [&] {
        const unsigned long band = user.rootPixel(600, 2);
        return user.rootPixel(300, 16) == band && user.rootPixel(340, 16) != band;
    };
    EXPECT_TRUE(eventually(marked)) << program.logText();
    user.click(1710 + 900, 500);  // on the external, x=900 of its own
    ASSERT_TRUE(program.waitForLog("align pick2")) << program.logText();
    // The overlays close, then the question opens.
    std::vector<ShownWindow> question;
    ASSERT_TRUE(eventually([&] {
        question = questions(tree, pid);
        return overlays(tree, pid).empty() && question.size() == 1;
    })) << describe(tree.shownBy(pid))
        << program.logText();
    EXPECT_TRUE(onOneMonitor(question[0].rect)) << describe(question);
    // Seen before a window manager framed it, it is no child of the root yet: read again.
    EXPECT_TRUE(eventually([&] {
        question = questions(tree, pid);
        return question.size() == 1 && tree.onTop(question[0]);
    })) << describe(question);
    ASSERT_EQ(question.size(), 1u) << describe(tree.shownBy(pid));
    ASSERT_TRUE(eventually([&] { return tree.hasFocus(question[0]); })) << program.logText();
    user.keys({XK_Return});
    ASSERT_TRUE(eventually([&] {
        return at("DUMMY1") != at("DUMMY0") && !(at("DUMMY0") == Pos{0, 0});
    })) << program.logText();
    // The external now stands above the panel with its x=900 over the panel's x=300:
    // in root coordinates the external's bottom row is just above the panel's top.
    const Pos panel = at("DUMMY0"), external = at("DUMMY1");
    EXPECT_EQ(external.x + 900, panel.x + 300) << program.logText();
    EXPECT_EQ(external.y + 960, panel.y);
    EXPECT_EQ(primaryOutput(), "DUMMY0");

    ASSERT_TRUE(program.waitForLog("after:")) << program.logText();  // the move has settled
    user.keys(kUndoKeys);
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 0}); })) << program.logText();
    EXPECT_EQ(at("DUMMY0"), (Pos{0, 0}));
    checkToast(tree, pid, user, ratios);

    const std::string log = program.logText();
    if (std::getenv("SEAM_SHOW_LOG")) std::cout << log;
    const std::string panelId = std::to_string(outputId("DUMMY0"));
    const std::string externalId = std::to_string(outputId("DUMMY1"));
    for (const std::string& line :
         {std::string("align mode start"), "align pick1 id=" + panelId + " side=top pos=300",
          "align pick2 id=" + externalId + " side=bottom pos=2610",
          "connect side=top pos=300 move id=" + externalId + " (1710, 0) -> (-600, -960) ok=true",
          "undo id=" + externalId + "->(1710,0)"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_LT(log.find("align pick1"), log.find("align pick2"));
    EXPECT_LT(log.find("align pick2"), log.find("connect side=top"));
    EXPECT_LT(log.find("connect side=top"), log.find("undo id="));
    EXPECT_EQ(log.find("align confirm cancelled"), std::string::npos) << log;

    // The undo toast goes too; then only a tray icon may stay.
    EXPECT_TRUE(eventually([&] {
        const std::vector<ShownWindow> shown = tree.shownBy(pid);
        return std::none_of(shown.begin(), shown.end(), leftOver) && !tree.keyboardTaken();
    })) << describe(tree.shownBy(pid));
}

}  // namespace seam::testing
