// The tray program on a private headless sway, in Qt's wayland platform, used
// as a user does: commands from a terminal, clicks through a virtual pointer,
// keys through a virtual keyboard. What it did is read back from sway's IPC.
#include <gtest/gtest.h>

#include <set>

#include <nlohmann/json.hpp>

#include "headless_sway.h"
#include "platform/wlroots/wlroots_platform.h"
#include "support/saved_layouts.h"
#include "support/session_bus.h"
#include "support/user_session.h"
#include "virtual_pointer.h"

namespace seam {
namespace {

using testing::HeadlessSway;
using testing::ShownOutput;
using testing::waitUntil;

// Windows in sway's tree: the output each is on, its title, whether full
// screen, focused and floating.
struct SwayWindow {
    std::string output, title;
    bool fullscreen = false, focused = false, floating = false;
    int x = 0, y = 0, width = 0, height = 0;
};
void collect(const nlohmann::json& node, const std::string& output, std::vector<SwayWindow>& out) {
    const std::string type = node.value("type", "");
    const std::string here = type == "output" ? node.value("name", "") : output;
    if ((type == "con" || type == "floating_con") && node.contains("app_id")) {
        const auto& r = node["rect"];
        out.push_back({here, node["name"].is_string() ? node["name"].get<std::string>() : "",
                       node.value("fullscreen_mode", 0) != 0, node.value("focused", false),
                       type == "floating_con", r.value("x", 0), r.value("y", 0),
                       r.value("width", 0), r.value("height", 0)});
    }
    for (const char* list : {"nodes", "floating_nodes"})
        if (node.contains(list))
            for (const auto& child : node[list]) collect(child, here, out);
}
std::vector<SwayWindow> windows(const HeadlessSway& sway) {
    std::vector<SwayWindow> out;
    const auto tree = nlohmann::json::parse(sway.swaymsg("-r -t get_tree"), nullptr, false);
    if (!tree.is_discarded()) collect(tree, "", out);
    return out;
}

class TrayOnSway : public ::testing::Test, public testing::Desk {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.running());
        // What sway runs for a key binding reaches the program, as in a session.
        sway = HeadlessSway::start({"DBUS_SESSION_BUS_ADDRESS=" + bus.address()});
        ASSERT_NE(sway, nullptr) << HeadlessSway::lastError();
        user = std::make_unique<testing::UserSession>(sway->socket(), bus.address());
    }
    testing::ShownOutputs outputs() const override { return sway->outputs(); }
    // As a user does: onto the point, and once the overlay there has the focus
    // sway gives it on entering its output, the click; again while the log does
    // not show it taken, since sway now and then drops a press on a window
    // just focused.
    bool click(int x, int y, const std::string& taken) override {
        int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
        std::string under;
        for (const auto& [name, o] : sway->outputs()) {
            left = std::min(left, o.x);
            top = std::min(top, o.y);
            right = std::max(right, o.x + o.width);
            bottom = std::max(bottom, o.y + o.height);
            if (x >= o.x && x < o.x + o.width && y >= o.y && y < o.y + o.height) under = name;
        }
        if (!pointer) pointer = testing::VirtualPointer::connect(sway->socket());
        if (!pointer || !pointer->moveTo(x, y, left, top, right - left, bottom - top)) return false;
        const bool focused = waitUntil([&] {
            for (const SwayWindow& w : windows(*sway))
                if (w.output == under && w.fullscreen && w.focused) return true;
            return false;
        });
        for (int attempt = 0; focused && attempt < 5; ++attempt) {
            if (!pointer->click()) return false;
            if (user->logShows(taken, 2)) return true;
        }
        return false;
    }
    // Into the question once it has the focus, until it is answered: a new
    // virtual keyboard reaches a client only once the client has taken up the
    // seat's keyboard, and another window may have come up meanwhile.
    bool pressReturn(const std::function<bool()>& answered) override {
        const bool asked = waitUntil([&] {
            for (const SwayWindow& w : windows(*sway))
                if (!w.fullscreen && w.title == "Seamwright" && w.focused) return true;
            return false;
        });
        for (int attempt = 0; asked && attempt < 10; ++attempt) {
            sway->swaymsg("'[title=\"^Seamwright$\"] focus'");
            testing::runCommand("WAYLAND_DISPLAY='" + sway->socket() +
                                "' wtype -s 150 -k Return 2>&1");
            if (waitUntil(answered, 2)) return true;
        }
        return false;
    }
    // One overlay full screen on each output, as sway shows them.
    bool overlaysShown() {
        return waitUntil([&] {
            std::set<std::string> covered;
            for (const SwayWindow& w : windows(*sway))
                if (w.fullscreen) covered.insert(w.output);
            return covered == std::set<std::string>{"HEADLESS-1", "HEADLESS-2"};
        });
    }
    void storeLowerLayout() {
        auto parts = openWlroots(sway->socket().c_str());
        ASSERT_NE(parts, nullptr);
        testing::storeLowerLayout(*parts->services, *parts->identity, user->configHome());
    }

    // Sway runs its commands as its own user.
    testing::SessionBus bus{true};
    std::unique_ptr<HeadlessSway> sway;
    std::unique_ptr<testing::UserSession> user;
    std::unique_ptr<testing::VirtualPointer> pointer;
};

TEST_F(TrayOnSway, TwoClicksAndReturnJoinTheClickedPoints) {
    struct Case {
        const char* scale;  // of the second output
        int secondY;        // where it is clicked, near its left edge
    };
    // Scaled, the second output is 640x480 points, and so are its window's units.
    const Case cases[] = {{"1", 500}, {"2", 400}, {"1.5", 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("scale ") + c.scale);
        ASSERT_TRUE(sway->arrange());
        int rc = 0;
        sway->swaymsg(std::string("output HEADLESS-2 scale ") + c.scale, &rc);
        ASSERT_EQ(rc, 0);
        ASSERT_NO_FATAL_FAILURE(
            alignByTwoClicksAndReturn(*user, *this, "HEADLESS-1", "HEADLESS-2", c.secondY));
    }
}

TEST_F(TrayOnSway, TheAlignKeyTypedOnSwayStartsAlignMode) {
    ASSERT_NO_FATAL_FAILURE(user->startTray("SWAYSOCK='" + sway->ipcSocket() + "'"));
    // Bound through sway's IPC, the keys are hot keys after all.
    EXPECT_EQ(user->log().find("no global hot keys"), std::string::npos) << user->log();
    // Ctrl+Alt+Super+A, the align key, from a keyboard of wtype's.
    const auto typed = testing::runCommand("WAYLAND_DISPLAY='" + sway->socket() +
                                           "' wtype -M ctrl -M alt -M logo -k a -m logo -m alt "
                                           "-m ctrl 2>&1");
    ASSERT_EQ(typed.exitCode, 0) << typed.out;
    EXPECT_TRUE(overlaysShown()) << sway->swaymsg("-t get_tree") << user->log();
}

TEST_F(TrayOnSway, ToastAndSuggestionFloatCentredOnTheOutputInUse) {
    struct Case {
        const char* what;
        const char* output;   // has the focus
        const char* command;  // after launch; none: a layout is offered at launch
    };
    const Case cases[] = {
        {"toast", "HEADLESS-2", "--undo"},  // nothing to undo, which a toast says
        {"toast", "HEADLESS-1", "--undo"},
        {"suggestion", "HEADLESS-2", nullptr},  // a saved layout fits these monitors
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " on " + c.output);
        int rc = 0;
        sway->swaymsg(std::string("focus output ") + c.output, &rc);
        ASSERT_EQ(rc, 0);
        if (!c.command) {
            ASSERT_NO_FATAL_FAILURE(storeLowerLayout());
        }
        ASSERT_NO_FATAL_FAILURE(user->startTray());
        if (c.command) {
            ASSERT_EQ(user->run(c.command).exitCode, 0);
        }
        SwayWindow shown;
        ASSERT_TRUE(waitUntil([&] {
            // Not the settings window, which opens where no tray shows the icon.
            for (const SwayWindow& w : windows(*sway))
                if (w.floating && w.output == c.output && w.title != "Shortcut Settings") shown = w;
            return shown.floating;
        })) << sway->swaymsg("-t get_tree")
            << user->log();
        const ShownOutput o = sway->outputs()[c.output];
        EXPECT_LE(std::abs((shown.x + shown.width / 2) - (o.x + o.width / 2)), 1);
        EXPECT_LT(shown.width, o.width / 2);
        EXPECT_LT(shown.height, o.height / 2);
        user->quitTray();
    }
}

TEST_F(TrayOnSway, ASavedLayoutIsAppliedByNameAndUndone) {
    ASSERT_NO_FATAL_FAILURE(storeLowerLayout());
    applyLayoutByNameAndUndo(*user, *this, "HEADLESS-2", "wlroots");
}

}  // namespace
}  // namespace seam
