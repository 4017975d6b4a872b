// The built program in a headless GNOME session, without an X display: it picks
// the GNOME backend by itself, and what it moves is read back with gdbus.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "headless_mutter.h"
#include "support/command.h"

namespace seam {
namespace {

using testing::HeadlessMutter;

int xOf(const HeadlessMutter& mutter, const char* connector) {
    int x = -1, y = -1;
    return testing::logicalPosition(mutter.call("GetCurrentState"), connector, x, y) ? x : -1;
}

class ProgramOnMutter : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { mutter = HeadlessMutter::start(startError).release(); }
    static void TearDownTestSuite() {
        delete mutter;
        mutter = nullptr;
    }
    void SetUp() override { ASSERT_NE(mutter, nullptr) << startError; }
    static std::string program(const std::string& args) {
        const std::string folder = mutter->configFolder();
        const std::string socket = folder.substr(0, folder.rfind('/')) + "/run/wayland-0";
        return testing::programOnWayland(socket, args, mutter->busAddress());
    }
    static HeadlessMutter* mutter;
    static std::string startError;
};
HeadlessMutter* ProgramOnMutter::mutter = nullptr;
std::string ProgramOnMutter::startError;

TEST_F(ProgramOnMutter, DumpDisplaysNamesTheBackendAndBothOutputs) {
    const auto r = testing::runCommand(program("--dump-displays"));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("backend=gnome"), std::string::npos) << r.out;
    for (const char* name : {"Meta-0", "Meta-1"})
        EXPECT_NE(r.out.find(name), std::string::npos) << name << '\n' << r.out;
}

TEST_F(ProgramOnMutter, MoveTestMovesTheSecondOutputAndBack) {
    // The compositor refuses monitors that do not touch: the second goes below
    // the first, where 40 points to the right still touches.
    std::smatch serial;
    const std::string state = mutter->call("GetCurrentState");
    ASSERT_TRUE(std::regex_search(state, serial, std::regex("^\\(uint32 (\\d+),")));
    int rc = 0;
    const std::string reply = mutter->call(
        "ApplyMonitorsConfig " + serial[1].str() +
            " 1 \"[(0, 0, 1.0, uint32 0, true, [('Meta-0', '1920x1080@60.000', @a{sv} {})]),"
            " (0, 1080, 1.0, 0, false, [('Meta-1', '1280x1024@60.000', {})])]\" \"{}\"",
        &rc);
    ASSERT_EQ(rc, 0) << reply;
    const int from = xOf(*mutter, "Meta-1");
    ASSERT_EQ(from, 0);
    FILE* running = testing::startCommand(program("--movetest"));
    ASSERT_NE(running, nullptr);
    // The program holds the moved place for a moment; the compositor is asked until it shows.
    bool seenMoved = false;
    for (int i = 0; i < 400 && !seenMoved; ++i) seenMoved = xOf(*mutter, "Meta-1") == from + 40;
    const auto r = testing::finishCommand(running);
    EXPECT_TRUE(seenMoved) << r.out;
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(xOf(*mutter, "Meta-1"), from);
}

}  // namespace
}  // namespace seam
