// The tray program in a headless GNOME session, used as a user does: a command
// from a terminal, then clicks and a key through Mutter's remote desktop
// service. Where the monitors went is read back with GetCurrentState.
#include <gtest/gtest.h>

#include <filesystem>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>

#include "base/qt/prefs.h"
#include "headless_mutter.h"
#include "platform/gnome/qt/open_gnome.h"
#include "remote_input.h"
#include "support/command.h"
#include "support/saved_layouts.h"

namespace seam {
namespace {

using testing::Corner;
using testing::HeadlessMutter;

constexpr unsigned kReturn = 0xff0d;  // keysym
// The harness's monitors, at scale 1.
constexpr int kFirstWidth = 1920;

class TrayOnMutter : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        mutter = HeadlessMutter::start(error);
        ASSERT_NE(mutter, nullptr) << error;
        const std::string folder = mutter->configFolder();
        root = folder.substr(0, folder.rfind('/'));
        home = root + "/user";
        // Not a first launch: the guide would take the keyboard from the question.
        QSettingsStore settings(QString::fromStdString(home + "/config/Seamwright"), "Seamwright");
        settings.set("didShowGuide", true);
        settings.set("updateFeed", std::string("http://127.0.0.1:9/version.json"));
        settings.sync();
        input = testing::RemoteInput::start(mutter->busAddress(), error);
        ASSERT_NE(input, nullptr) << error;
    }
    void TearDown() override {
        if (tray) stopTray();
        input.reset();  // before the compositor goes
    }
    std::string program(const std::string& args) {
        return testing::programOnWayland(root + "/run/wayland-0", args, mutter->busAddress(),
                                         "HOME=" + home + " XDG_CONFIG_HOME=" + home +
                                             "/config XDG_STATE_HOME=" + home +
                                             " GSETTINGS_BACKEND=keyfile QT_QPA_PLATFORM=wayland");
    }
    std::string log() { return testing::fileText(home + "/Seamwright/Seamwright.log"); }
    bool logShows(const std::string& line, double seconds = 20) {
        return testing::waitUntil([&] { return log().find(line) != std::string::npos; }, seconds);
    }
    Corner corner(const char* connector) {
        Corner c{-1, -1};
        testing::logicalPosition(mutter->call("GetCurrentState"), connector, c.x, c.y);
        return c;
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
    // overlay under the pointer may not be mapped yet when the first click comes,
    // and now and then Mutter leaves the pointer a few points off after moves
    // made in quick succession (a first pick taken again replaces the one before).
    bool click(double x, double y, const std::string& taken) {
        const Corner a = corner("Meta-0"), b = corner("Meta-1");
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!input->moveTo(a, b, x, y) || !input->click()) return false;
            if (logShows(taken, 1)) return true;
        }
        return false;
    }

    std::unique_ptr<HeadlessMutter> mutter;
    std::unique_ptr<testing::RemoteInput> input;
    std::string root, home;
    FILE* tray = nullptr;
};

TEST_F(TrayOnMutter, TwoClicksAndReturnJoinTheClickedPoints) {
    // Where the second monitor is clicked near its left edge, from its top:
    // above the first click and below it.
    for (const int secondY : {100, 700}) {
        SCOPED_TRACE("second clicked at " + std::to_string(secondY));
        ASSERT_NO_FATAL_FAILURE(startTray());
        const auto run = testing::runCommand(program("--align"));
        ASSERT_EQ(run.exitCode, 0) << run.out;
        ASSERT_TRUE(logShows("align mode start")) << log();
        const Corner a = corner("Meta-0"), b = corner("Meta-1");
        // Near the right edge of the first monitor, then the left part of the second.
        ASSERT_TRUE(click(a.x + kFirstWidth - 20, a.y + 300,
                          "side=right pos=" + std::to_string(a.y + 300) + "\n"))
            << log();
        ASSERT_TRUE(click(b.x + 15, b.y + secondY, "align pick2 id=")) << log();

        const auto joined = [&] {
            const Corner na = corner("Meta-0"), nb = corner("Meta-1");
            // The first monitor's right edge at y 300 meets the second's left edge.
            return nb.x == na.x + kFirstWidth && nb.y + secondY == na.y + 300;
        };
        // Return answers the question once it has the keyboard.
        bool done = false;
        for (int attempt = 0; attempt < 10 && !done; ++attempt) {
            ASSERT_TRUE(input->pressKeysym(kReturn)) << input->error();
            done = testing::waitUntil(joined, 2);
        }
        EXPECT_TRUE(done) << mutter->call("GetCurrentState") << '\n' << log();
        stopTray();
    }
}

TEST_F(TrayOnMutter, ASavedLayoutIsAppliedByNameAndUndone) {
    {
        static int argc = 1;
        static char name[] = "test_gnome";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        // The DRM connectors the program reads too, so both tell the monitors alike.
        auto backend = openGnome(
            DrmConnectors::kDefaultRoot,
            QDBusConnection::connectToBus(QString::fromStdString(mutter->busAddress()), "layouts"));
        ASSERT_NE(backend, nullptr);
        ASSERT_NO_FATAL_FAILURE(
            testing::storeLowerLayout(*backend->services, *backend->identity, home + "/config"));
    }
    const Corner before = corner("Meta-1");
    ASSERT_NO_FATAL_FAILURE(startTray());
    EXPECT_NE(log().find("backend=gnome"), std::string::npos) << log();
    const auto placed = [&](int x, int y) {
        return testing::waitUntil([&] {
            const Corner o = corner("Meta-1");
            return o.x == x && o.y == y;
        });
    };
    auto run = testing::runCommand(program("--apply-layout Lower"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(before.x, before.y + 200)) << mutter->call("GetCurrentState") << log();
    run = testing::runCommand(program("--undo"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(before.x, before.y)) << mutter->call("GetCurrentState") << log();
}

}  // namespace
}  // namespace seam
