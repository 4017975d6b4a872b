// The built program on a private headless KWin, without an X display: it picks
// the KWin backend by itself, and what it moves is read back with wayland-info.
#include <gtest/gtest.h>

#include <string>

#include "headless_kwin.h"
#include "support/command.h"

namespace seam {
namespace {

using testing::HeadlessKwin;

int xOf(const HeadlessKwin& kwin, const std::string& name) {
    for (const testing::KwinShownOutput& o : kwin.outputs())
        if (o.name == name) return o.x;
    return -1;
}

class ProgramOnKwin : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { kwin = HeadlessKwin::start().release(); }
    static void TearDownTestSuite() {
        delete kwin;
        kwin = nullptr;
    }
    void SetUp() override { ASSERT_NE(kwin, nullptr) << HeadlessKwin::lastError(); }
    static HeadlessKwin* kwin;
};
HeadlessKwin* ProgramOnKwin::kwin = nullptr;

TEST_F(ProgramOnKwin, DumpDisplaysNamesTheBackendAndBothOutputs) {
    const auto r =
        testing::runCommand(testing::programOnWayland(kwin->socket(), "--dump-displays"));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("backend=kwin"), std::string::npos) << r.out;
    for (const char* name : {"Virtual-0", "Virtual-1"})
        EXPECT_NE(r.out.find(name), std::string::npos) << name << '\n' << r.out;
}

TEST_F(ProgramOnKwin, MoveTestMovesTheSecondOutputAndBack) {
    const int from = xOf(*kwin, "Virtual-1");
    ASSERT_EQ(from, 1920);
    FILE* program = testing::startCommand(testing::programOnWayland(kwin->socket(), "--movetest"));
    ASSERT_NE(program, nullptr);
    // The program holds the moved place for a moment; KWin is asked until it shows.
    bool seenMoved = false;
    for (int i = 0; i < 400 && !seenMoved; ++i) seenMoved = xOf(*kwin, "Virtual-1") == from + 40;
    const auto r = testing::finishCommand(program);
    EXPECT_TRUE(seenMoved) << r.out;
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(xOf(*kwin, "Virtual-1"), from);
}

}  // namespace
}  // namespace seam
