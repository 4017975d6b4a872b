// The running program told what to do from a terminal, over a private session
// bus: align, apply a saved layout by name, undo, quit, and a second start that
// leaves the first one be. The commands run without a display; the results are
// read back through the X server and the log.
#include <gtest/gtest.h>

#include "program_on_x.h"
#include "support/session_bus.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

// As typed in a terminal that has no display: Qt could not open one if it tried.
CommandRun command(const std::string& bus, const std::string& args) {
    return runCommand("env -u DISPLAY QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS='" + bus +
                      "' timeout 20 " SEAM_BINARY_DIR "/seamwright " + args + " 2>&1");
}

TEST(CommandsEndToEnd, TheRunningProgramDoesWhatTheCommandLineAsks) {
    SessionBus bus;
    ASSERT_TRUE(bus.running());
    ASSERT_TRUE(xserver()->arrange());
    Program program([](const std::string& home) { storeLowerLayout(home, kLayoutKey); },
                    {"DBUS_SESSION_BUS_ADDRESS=" + bus.address()});
    ASSERT_TRUE(program.waitForLog("commands: listening on the session bus")) << program.logText();

    {
        // A second start, with a display and settings of its own, does not start.
        TempDir home;
        const CommandRun second = runCommand(
            "env DISPLAY=" + xserver()->name() + " QT_QPA_PLATFORM=xcb HOME=" + home.path() +
            " XDG_CONFIG_HOME=" + home.path() + " XDG_STATE_HOME=" + home.path() +
            " XDG_RUNTIME_DIR=" + home.path() + " DBUS_SESSION_BUS_ADDRESS='" + bus.address() +
            "' timeout 20 " SEAM_BINARY_DIR "/seamwright 2>&1");
        EXPECT_EQ(second.exitCode, 0);
        EXPECT_EQ(second.out, "Seamwright is already running\n");
    }

    CommandRun run = command(bus.address(), "--apply-layout ' lower '");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 200}); })) << program.logText();
    EXPECT_TRUE(program.waitForLog("layout \"Lower\" via=command before ")) << program.logText();

    run = command(bus.address(), "--undo");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 0}); })) << program.logText();

    run = command(bus.address(), "--apply-layout Upper");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "seamwright: no saved layout is named \"Upper\"\n");
    EXPECT_EQ(at("DUMMY1"), (Pos{1710, 0}));

    User user;
    run = command(bus.address(), "--align");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();

    run = command(bus.address(), "--quit");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(program.waitForExit()) << program.logText();

    run = command(bus.address(), "--undo");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "seamwright: Seamwright is not running\n");
    ASSERT_TRUE(xserver()->arrange());
}

TEST(CommandsEndToEnd, WithoutASessionBusTheProgramRunsAndCommandsSaySo) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;  // its bus address leads nowhere
    ASSERT_TRUE(program.waitForLog("commands: no session bus")) << program.logText();
    EXPECT_TRUE(program.running());
    EXPECT_FALSE(program.waitForExit(0));

    const CommandRun run = command("unix:path=" + program.home() + "/no-bus", "--align");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.out.rfind("seamwright: no session bus, so no running Seamwright can be reached (", 0),
        0u)
        << run.out;
}

}  // namespace
}  // namespace seam
