// The tray program on a private headless sway, in Qt's wayland platform, told
// from a terminal to apply a saved layout and to undo it; sway's IPC reads the
// result back.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "headless_sway.h"
#include "saved_layouts.h"
#include "support/command.h"
#include "support/session_bus.h"

namespace seam {
namespace {

using testing::HeadlessSway;

// Another process's answer: asked again until it comes, within a limit.
bool eventually(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return true;
}

std::pair<int, int> placeOf(const HeadlessSway& sway, const std::string& name) {
    for (const testing::SwayOutput& o : sway.outputs())
        if (o.name == name) return {o.x, o.y};
    return {-1, -1};
}

TEST(CommandsOnSway, ASavedLayoutIsAppliedByNameAndUndone) {
    const std::unique_ptr<HeadlessSway> sway = HeadlessSway::start();
    ASSERT_NE(sway, nullptr) << HeadlessSway::lastError();
    testing::SessionBus bus;
    ASSERT_TRUE(bus.running());
    char pattern[] = "/tmp/seam-home.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string home = pattern;
    ASSERT_NO_FATAL_FAILURE(testing::storeLowerLayout(*sway, home + "/config"));
    const std::string session = "HOME=" + home + " XDG_CONFIG_HOME=" + home +
                                "/config XDG_STATE_HOME=" + home + " QT_QPA_PLATFORM=wayland";
    const auto program = [&](const std::string& args) {
        return testing::programOnWayland(sway->socket(), args, bus.address(), session);
    };
    const auto log = [&] {
        std::ifstream in(home + "/Seamwright/Seamwright.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    FILE* tray = testing::startCommand(program(""));
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(eventually([&] { return log().find("commands: listening") != std::string::npos; }))
        << log();
    EXPECT_NE(log().find("backend=wlroots"), std::string::npos) << log();

    auto run = testing::runCommand(program("--apply-layout Lower"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(eventually([&] { return placeOf(*sway, "HEADLESS-2").second == 200; })) << log();
    run = testing::runCommand(program("--undo"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(eventually([&] { return placeOf(*sway, "HEADLESS-2").second == 0; })) << log();
    EXPECT_EQ(placeOf(*sway, "HEADLESS-2").first, 1710);

    run = testing::runCommand(program("--quit"));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    testing::finishCommand(tray);
    std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace seam
