// The session's end, a closed terminal and Ctrl+C: the program on the virtual
// desktop quits through its normal quit path, with status 0 and the log's
// quit line last, after the line that names the signal.
#include <gtest/gtest.h>
#include <signal.h>

#include "base/qt/quit_signals.h"
#include "program_on_x.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

TEST(QuitSignalOnX, EachSignalQuitsTheProgramAsItsQuitItemDoes) {
    ASSERT_TRUE(xserver()->arrange());
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const std::string name = QuitSignals::name(signal);
        SCOPED_TRACE(name);
        Program program;
        // The command bus is set up last at launch.
        ASSERT_TRUE(program.waitForLog("commands: no session bus")) << program.logText();
        ASSERT_EQ(::kill(program.pid(), signal), 0);
        ASSERT_TRUE(program.waitForExit()) << program.logText();
        EXPECT_EQ(program.exitCode(), 0) << program.logText();
        const std::string log = program.logText();
        const auto signalLine = log.find("Z signal " + name + ": quitting\n");
        EXPECT_NE(signalLine, std::string::npos) << log;
        EXPECT_TRUE(log.ends_with("Z quit\n")) << log;
        EXPECT_LT(signalLine, log.rfind("Z quit\n")) << log;
    }
}

}  // namespace
}  // namespace seam
