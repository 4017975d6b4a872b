// The built program on a private headless sway, without an X display: it picks
// the wlroots backend by itself, and what it moves is read back through sway's
// own IPC.
#include <gtest/gtest.h>

#include <string>

#include "headless_sway.h"
#include "support/command.h"

namespace seam {
namespace {

using testing::HeadlessSway;

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
    const auto r =
        testing::runCommand(testing::programOnWayland(sway->socket(), "--dump-displays"));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("backend=wlroots"), std::string::npos) << r.out;
    for (const char* name : {"HEADLESS-1", "HEADLESS-2"})
        EXPECT_NE(r.out.find(name), std::string::npos) << name << '\n' << r.out;
}

TEST_F(ProgramOnSway, MoveTestMovesTheSecondOutputAndBack) {
    const int from = xOf(*sway, "HEADLESS-2");
    ASSERT_EQ(from, 1710);
    FILE* program = testing::startCommand(testing::programOnWayland(sway->socket(), "--movetest"));
    ASSERT_NE(program, nullptr);
    // The program holds the moved place for a moment; sway is asked until it shows.
    bool seenMoved = false;
    for (int i = 0; i < 400 && !seenMoved; ++i) seenMoved = xOf(*sway, "HEADLESS-2") == from + 40;
    const auto r = testing::finishCommand(program);
    EXPECT_TRUE(seenMoved) << r.out;
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(xOf(*sway, "HEADLESS-2"), from);
}

}  // namespace
}  // namespace seam
