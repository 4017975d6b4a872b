// The built program on a private headless sway, without an X display: it picks
// the wlroots backend by itself, and what it moves is read back through sway's
// own IPC.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "headless_sway.h"

namespace seam {
namespace {

using testing::HeadlessSway;

// Starts the program on sway; what it prints is read by finish.
FILE* startProgram(const HeadlessSway& sway, const std::string& args) {
    const std::string socket = sway.socket();
    const std::string dir = socket.substr(0, socket.rfind('/'));
    const std::string line =
        "env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u SEAMWRIGHT_BACKEND"
        " WAYLAND_DISPLAY=" +
        socket + " XDG_RUNTIME_DIR=" + dir + " XDG_STATE_HOME=" + dir +
        " timeout 20 " SEAM_BINARY_DIR "/seamwright " + args + " 2>&1";
    return popen(line.c_str(), "r");
}

std::string finish(FILE* program, int& exitCode) {
    std::string out;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, program)) out.append(buffer, n);
    const int status = pclose(program);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

int xOf(const HeadlessSway& sway, const std::string& name) {
    for (const testing::SwayOutput& o : sway.outputs())
        if (o.name == name) return o.x;
    return -1;
}

class ProgramOnSway : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { sway = HeadlessSway::start().release(); }
    static void TearDownTestSuite() {
        delete sway;
        sway = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(sway, nullptr) << HeadlessSway::lastError();
        ASSERT_TRUE(sway->arrange());
    }
    static HeadlessSway* sway;
};
HeadlessSway* ProgramOnSway::sway = nullptr;

TEST_F(ProgramOnSway, DumpDisplaysNamesTheBackendAndBothOutputs) {
    int exitCode = -1;
    const std::string out = finish(startProgram(*sway, "--dump-displays"), exitCode);
    EXPECT_EQ(exitCode, 0) << out;
    EXPECT_NE(out.find("backend=wlroots"), std::string::npos) << out;
    for (const char* name : {"HEADLESS-1", "HEADLESS-2"})
        EXPECT_NE(out.find(name), std::string::npos) << name << '\n' << out;
}

TEST_F(ProgramOnSway, MoveTestMovesTheSecondOutputAndBack) {
    const int from = xOf(*sway, "HEADLESS-2");
    ASSERT_EQ(from, 1710);
    FILE* program = startProgram(*sway, "--movetest");
    ASSERT_NE(program, nullptr);
    // The program holds the moved place for a moment; sway is asked until it shows.
    bool seenMoved = false;
    for (int i = 0; i < 400 && !seenMoved; ++i) seenMoved = xOf(*sway, "HEADLESS-2") == from + 40;
    int exitCode = -1;
    const std::string out = finish(program, exitCode);
    EXPECT_TRUE(seenMoved) << out;
    EXPECT_EQ(exitCode, 0) << out;
    EXPECT_EQ(xOf(*sway, "HEADLESS-2"), from);
}

}  // namespace
}  // namespace seam
