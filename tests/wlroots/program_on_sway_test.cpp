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
    struct Case {
        const char* requested;  // SEAMWRIGHT_BACKEND
        int exitCode;
        const char* shows;
    };
    const Case cases[] = {
        {"", 0, "backend=wlroots"},
        {"SEAMWRIGHT_BACKEND=wlroots", 0, "backend=wlroots"},
        // Asked for, but this compositor has no such management: one line, no dump.
        {"SEAMWRIGHT_BACKEND=kwin", 2, "seamwright: the kwin backend: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        const auto r = testing::runCommand(
            testing::programOnWayland(sway->socket(), "--dump-displays", "", c.requested));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out;
        EXPECT_NE(r.out.find(c.shows), std::string::npos) << r.out;
        for (const char* name : {"HEADLESS-1", "HEADLESS-2"})
            EXPECT_EQ(r.out.find(name) != std::string::npos, c.exitCode == 0) << name << '\n'
                                                                              << r.out;
    }
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
