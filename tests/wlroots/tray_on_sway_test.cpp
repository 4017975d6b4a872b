// The tray program on a private headless sway, in Qt's wayland platform, used
// as a user does: commands from a terminal, clicks through a virtual pointer,
// keys through a virtual keyboard. What it did is read back from sway's IPC.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "base/qt/prefs.h"
#include "headless_sway.h"
#include "platform/wlroots/wlroots_platform.h"
#include "support/command.h"
#include "support/saved_layouts.h"
#include "support/session_bus.h"
#include "virtual_pointer.h"

namespace seam {
namespace {

using testing::HeadlessSway;
using testing::SwayOutput;

// Another process's answer: asked again until it comes, within a limit.
bool eventually(const std::function<bool()>& done, int seconds = 10) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return true;
}

std::map<std::string, SwayOutput> outputsByName(const HeadlessSway& sway) {
    std::map<std::string, SwayOutput> out;
    for (const SwayOutput& o : sway.outputs()) out[o.name] = o;
    return out;
}

// Windows in sway's tree: the output each is on, its title, whether full
// screen and focused.
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

class TrayOnSway : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.running());
        // What sway runs for a key binding reaches the program, as in a session.
        sway = HeadlessSway::start({"DBUS_SESSION_BUS_ADDRESS=" + bus.address()});
        ASSERT_NE(sway, nullptr) << HeadlessSway::lastError();
        char pattern[] = "/tmp/seam-home.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home = pattern;
        // Not a first launch: the guide would take the keyboard from the question.
        QSettingsStore settings(QString::fromStdString(home + "/config/Seamwright"), "Seamwright");
        settings.set("didShowGuide", true);
        settings.set("updateFeed", std::string("http://127.0.0.1:9/version.json"));
        settings.sync();
    }
    void TearDown() override {
        if (tray) {
            EXPECT_EQ(testing::runCommand(program("--quit")).exitCode, 0);
            testing::finishCommand(tray);
        }
        std::filesystem::remove_all(home);
    }
    std::string program(const std::string& args, const std::string& more = "") {
        return testing::programOnWayland(sway->socket(), args, bus.address(),
                                         "HOME=" + home + " XDG_CONFIG_HOME=" + home +
                                             "/config XDG_STATE_HOME=" + home +
                                             " QT_QPA_PLATFORM=wayland " + more);
    }
    std::string log() {
        std::ifstream in(home + "/Seamwright/Seamwright.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool logShows(const std::string& line) {
        return eventually([&] { return log().find(line) != std::string::npos; });
    }
    void startTray(const std::string& more = "") {
        std::filesystem::remove(home + "/Seamwright/Seamwright.log");  // of a tray before
        tray = testing::startCommand(program("", more));
        ASSERT_NE(tray, nullptr);
        ASSERT_TRUE(logShows("commands: listening")) << log();
    }
    void storeLowerLayout() {
        auto parts = openWlroots(sway->socket().c_str());
        ASSERT_NE(parts, nullptr);
        testing::storeLowerLayout(*parts->services, *parts->identity, home + "/config");
    }
    // One overlay full screen on each output, as sway shows them.
    bool overlaysShown() {
        return eventually([&] {
            std::set<std::string> covered;
            for (const SwayWindow& w : windows(*sway))
                if (w.fullscreen) covered.insert(w.output);
            return covered == std::set<std::string>{"HEADLESS-1", "HEADLESS-2"};
        });
    }
    // As a user does: onto the point, and once the window there has the focus
    // sway gives it on entering its output, the click; again while the log does
    // not show it taken, since sway now and then drops a press on a window
    // just focused.
    bool click(testing::VirtualPointer& pointer, int x, int y, const std::string& taken) {
        int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
        std::string under;
        for (const SwayOutput& o : sway->outputs()) {
            left = std::min(left, o.x);
            top = std::min(top, o.y);
            right = std::max(right, o.x + o.width);
            bottom = std::max(bottom, o.y + o.height);
            if (x >= o.x && x < o.x + o.width && y >= o.y && y < o.y + o.height) under = o.name;
        }
        if (!pointer.moveTo(x, y, left, top, right - left, bottom - top)) return false;
        const bool focused = eventually([&] {
            for (const SwayWindow& w : windows(*sway))
                if (w.output == under && w.fullscreen && w.focused) return true;
            return false;
        });
        for (int attempt = 0; focused && attempt < 5; ++attempt) {
            if (!pointer.click()) return false;
            if (eventually([&] { return log().find(taken) != std::string::npos; }, 2)) return true;
        }
        return false;
    }
    // Typed into the window titled so until what it answers comes: a new virtual
    // keyboard reaches a client only once the client has taken up the seat's
    // keyboard, and another window may have come up meanwhile.
    bool press(const std::string& title, const std::string& key,
               const std::function<bool()>& answered) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            sway->swaymsg("'[title=\"^" + title + "$\"] focus'");
            testing::runCommand("WAYLAND_DISPLAY='" + sway->socket() + "' wtype -s 150 -k " + key +
                                " 2>&1");
            if (eventually(answered, 2)) return true;
        }
        return false;
    }

    // Sway runs its commands as its own user.
    testing::SessionBus bus{true};
    std::unique_ptr<HeadlessSway> sway;
    std::string home;
    FILE* tray = nullptr;
};

TEST_F(TrayOnSway, TwoClicksAndReturnJoinTheClickedPoints) {
    struct Case {
        const char* scale;  // of the second output
        int secondY;        // where it is clicked, near its left edge
    };
    // Scaled, the second output is 640x480 points, and so are its window's units.
    const Case cases[] = {{"1", 500}, {"2", 400}, {"1.5", 600}};
    auto pointer = testing::VirtualPointer::connect(sway->socket());
    ASSERT_NE(pointer, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("scale ") + c.scale);
        ASSERT_TRUE(sway->arrange());
        int rc = 0;
        sway->swaymsg(std::string("output HEADLESS-2 scale ") + c.scale, &rc);
        ASSERT_EQ(rc, 0);
        ASSERT_NO_FATAL_FAILURE(startTray());

        const auto run = testing::runCommand(program("--align"));
        ASSERT_EQ(run.exitCode, 0) << run.out;
        ASSERT_TRUE(overlaysShown()) << sway->swaymsg("-t get_tree") << log();
        // Near the right edge of the first output, then the left part of the second.
        ASSERT_TRUE(click(*pointer, 1700, 300, "align pick1 id=")) << log();
        ASSERT_TRUE(click(*pointer, 1715, c.secondY, "align pick2 id=")) << log();

        const auto asked = [&] {
            for (const SwayWindow& w : windows(*sway))
                if (!w.fullscreen && w.title == "Seamwright" && w.focused) return true;
            return false;
        };
        ASSERT_TRUE(eventually(asked)) << sway->swaymsg("-t get_tree") << log();
        const auto joined = [&] {
            auto o = outputsByName(*sway);
            const SwayOutput &a = o["HEADLESS-1"], &b = o["HEADLESS-2"];
            // The first output's right edge at y 300 meets the second's left edge.
            return b.x == a.x + a.width && b.y + c.secondY == a.y + 300;
        };
        EXPECT_TRUE(press("Seamwright", "Return", joined))
            << sway->swaymsg("-t get_outputs") << log();
        testing::runCommand(program("--quit"));
        testing::finishCommand(tray);
        tray = nullptr;
    }
}

TEST_F(TrayOnSway, TheAlignKeyTypedOnSwayStartsAlignMode) {
    ASSERT_NO_FATAL_FAILURE(startTray("SWAYSOCK='" + sway->ipcSocket() + "'"));
    // Bound through sway's IPC, the keys are hot keys after all.
    EXPECT_EQ(log().find("no global hot keys"), std::string::npos) << log();
    // Ctrl+Alt+Super+A, the align key, from a keyboard of wtype's.
    const auto typed = testing::runCommand("WAYLAND_DISPLAY='" + sway->socket() +
                                           "' wtype -M ctrl -M alt -M logo -k a -m logo -m alt "
                                           "-m ctrl 2>&1");
    ASSERT_EQ(typed.exitCode, 0) << typed.out;
    EXPECT_TRUE(overlaysShown()) << sway->swaymsg("-t get_tree") << log();
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
        ASSERT_NO_FATAL_FAILURE(startTray());
        if (c.command) {
            ASSERT_EQ(testing::runCommand(program(c.command)).exitCode, 0);
        }

        SwayWindow shown;
        ASSERT_TRUE(eventually([&] {
            // Not the settings window, which opens where no tray shows the icon.
            for (const SwayWindow& w : windows(*sway))
                if (w.floating && w.output == c.output && w.title != "Shortcut Settings") shown = w;
            return shown.floating;
        })) << sway->swaymsg("-t get_tree")
            << log();
        const SwayOutput o = outputsByName(*sway)[c.output];
        EXPECT_LE(std::abs((shown.x + shown.width / 2) - (o.x + o.width / 2)), 1);
        EXPECT_LT(shown.width, o.width / 2);
        EXPECT_LT(shown.height, o.height / 2);
        testing::runCommand(program("--quit"));
        testing::finishCommand(tray);
        tray = nullptr;
    }
}

TEST_F(TrayOnSway, ASavedLayoutIsAppliedByNameAndUndone) {
    ASSERT_NO_FATAL_FAILURE(storeLowerLayout());
    ASSERT_NO_FATAL_FAILURE(startTray());
    EXPECT_NE(log().find("backend=wlroots"), std::string::npos) << log();
    const auto placed = [&](int x, int y) {
        return eventually([&] {
            const SwayOutput o = outputsByName(*sway)["HEADLESS-2"];
            return o.x == x && o.y == y;
        });
    };
    auto run = testing::runCommand(program("--apply-layout Lower"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(1710, 200)) << log();
    run = testing::runCommand(program("--undo"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(1710, 0)) << log();
}

}  // namespace
}  // namespace seam
