// The tray program on a private headless KWin, in Qt's wayland platform, used
// as a user does: a command from a terminal, then clicks and keys through
// KWin's fake input. Where the outputs went is read back with wayland-info.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <QString>

#include "base/qt/prefs.h"
#include "fake_input.h"
#include "headless_kwin.h"
#include "kwin_scale.h"
#include "platform/kwin/kwin_platform.h"
#include "support/command.h"
#include "support/saved_layouts.h"
#include "support/session_bus.h"

namespace seam {
namespace {

using testing::HeadlessKwin;
using testing::KwinShownOutput;

constexpr std::uint32_t kReturn = 28;  // evdev

std::map<std::string, KwinShownOutput> outputsByName(const HeadlessKwin& kwin) {
    std::map<std::string, KwinShownOutput> out;
    for (const KwinShownOutput& o : kwin.outputs()) out[o.name] = o;
    return out;
}

class TrayOnKwin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.running());
        kwin = HeadlessKwin::start(bus.address());
        ASSERT_NE(kwin, nullptr) << HeadlessKwin::lastError();
        home = kwin->runtimeDir() + "/home";
        // Not a first launch: the guide would take the keyboard from the question.
        QSettingsStore settings(QString::fromStdString(home + "/config/Seamwright"), "Seamwright");
        settings.set("didShowGuide", true);
        settings.set("updateFeed", std::string("http://127.0.0.1:9/version.json"));
        settings.sync();
        input = testing::FakeInput::connect(kwin->socket());
        ASSERT_NE(input, nullptr);
    }
    void TearDown() override {
        if (tray) stopTray();
    }
    std::string program(const std::string& args) {
        return testing::programOnWayland(kwin->socket(), args, bus.address(),
                                         "HOME=" + home + " XDG_CONFIG_HOME=" + home +
                                             "/config XDG_STATE_HOME=" + home +
                                             " QT_QPA_PLATFORM=wayland");
    }
    std::string log() { return testing::fileText(home + "/Seamwright/Seamwright.log"); }
    bool logShows(const std::string& line, double seconds = 20) {
        return testing::waitUntil([&] { return log().find(line) != std::string::npos; }, seconds);
    }
    void startTray() {
        std::filesystem::remove(home + "/Seamwright/Seamwright.log");  // of a tray before
        tray = testing::startCommand(program(""));
        ASSERT_NE(tray, nullptr);
        ASSERT_TRUE(logShows("commands: listening")) << log();
    }
    void stopTray() {
        EXPECT_EQ(testing::runCommand(program("--quit")).exitCode, 0);
        testing::finishCommand(tray);
        tray = nullptr;
    }
    // Onto the point and click, again while the log does not show it taken: the
    // overlay under the pointer may not be mapped yet when the first click comes.
    bool click(double x, double y, const std::string& taken) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!input->moveTo(x, y) || !input->click()) return false;
            if (logShows(taken, 1)) return true;
        }
        return false;
    }

    testing::SessionBus bus;
    std::unique_ptr<HeadlessKwin> kwin;
    std::unique_ptr<testing::FakeInput> input;
    std::string home;
    FILE* tray = nullptr;
};

TEST_F(TrayOnKwin, TwoClicksAndReturnJoinTheClickedPoints) {
    struct Case {
        double scale;  // of the second output
        int secondY;   // where it is clicked, near its left edge, from its top
    };
    // Scaled, the second output is fewer logical points, and so are its window's units.
    const Case cases[] = {{1, 500}, {2, 400}, {1.5, 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE("scale " + std::to_string(c.scale));
        ASSERT_TRUE(testing::setKwinScale(kwin->socket(), "Virtual-1", c.scale));
        auto before = outputsByName(*kwin);
        ASSERT_TRUE(testing::waitUntil([&] {
            before = outputsByName(*kwin);
            return before["Virtual-1"].width == int(1920 / c.scale + 0.5);
        })) << before["Virtual-1"].width;
        ASSERT_NO_FATAL_FAILURE(startTray());

        const auto run = testing::runCommand(program("--align"));
        ASSERT_EQ(run.exitCode, 0) << run.out;
        ASSERT_TRUE(logShows("align mode start")) << log();
        const KwinShownOutput &a = before["Virtual-0"], &b = before["Virtual-1"];
        // Near the right edge of the first output, then the left part of the second.
        ASSERT_TRUE(click(a.x + a.width - 20, a.y + 300, "align pick1 id=")) << log();
        ASSERT_TRUE(click(b.x + 15, b.y + c.secondY, "align pick2 id=")) << log();

        const auto joined = [&] {
            auto o = outputsByName(*kwin);
            const KwinShownOutput &na = o["Virtual-0"], &nb = o["Virtual-1"];
            // The first output's right edge at y 300 meets the second's left edge.
            return nb.x == na.x + na.width && nb.y + c.secondY == na.y + 300;
        };
        // Return answers the question once it has the keyboard.
        bool done = false;
        for (int attempt = 0; attempt < 10 && !done; ++attempt) {
            ASSERT_TRUE(input->press({kReturn}));
            done = testing::waitUntil(joined, 2);
        }
        auto after = outputsByName(*kwin);
        EXPECT_TRUE(done) << after["Virtual-1"].x << "," << after["Virtual-1"].y << '\n' << log();
        stopTray();
    }
}

TEST_F(TrayOnKwin, ASavedLayoutIsAppliedByNameAndUndone) {
    {
        auto parts = openKwin(kwin->socket().c_str());
        ASSERT_NE(parts, nullptr);
        ASSERT_NO_FATAL_FAILURE(
            testing::storeLowerLayout(*parts->services, *parts->identity, home + "/config"));
    }
    const KwinShownOutput before = outputsByName(*kwin)["Virtual-1"];
    ASSERT_NO_FATAL_FAILURE(startTray());
    EXPECT_NE(log().find("backend=kwin"), std::string::npos) << log();
    const auto placed = [&](int x, int y) {
        return testing::waitUntil([&] {
            const KwinShownOutput o = outputsByName(*kwin)["Virtual-1"];
            return o.x == x && o.y == y;
        });
    };
    auto run = testing::runCommand(program("--apply-layout Lower"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(before.x, before.y + 200)) << log();
    run = testing::runCommand(program("--undo"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(before.x, before.y)) << log();
}

}  // namespace
}  // namespace seam
