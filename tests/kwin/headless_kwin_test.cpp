// The KWin backend, and the built program without an X display, against a real
// compositor: a private headless KWin with two virtual outputs. Places are read
// back through wayland-info, never through the code under test.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <map>

#include "headless_kwin.h"
#include "platform/display_changes.h"
#include "platform/kwin/kwin_platform.h"
#include "support/log_capture.h"
#include "support/user_session.h"

namespace seam {
namespace {

using testing::HeadlessKwin;

class KwinTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_kwin";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        kwin = HeadlessKwin::start().release();
        // The virtual outputs start alike: the second becomes 1280x720 logical.
        if (kwin && !kwin->setScale("Virtual-1", 1.5)) {
            delete kwin;
            kwin = nullptr;
        }
    }
    static void TearDownTestSuite() { delete kwin; }
    void SetUp() override {
        ASSERT_NE(kwin, nullptr) << HeadlessKwin::lastError();
        parts = openKwin(kwin->socket().c_str());
        ASSERT_NE(parts, nullptr);
    }
    std::uint32_t idOf(const std::string& name) {
        for (const KwinDisplay& d : parts->services->layout().displays)
            if (d.name == name) return d.id;
        return 0;
    }
    // The second output's frame relative to the first's place, as the
    // compositor shows it.
    std::optional<Rect> shownFrame() {
        auto byName = kwin->outputs();
        if (!byName.count("Virtual-0") || !byName.count("Virtual-1")) return std::nullopt;
        const auto& a = byName["Virtual-0"];
        const auto& b = byName["Virtual-1"];
        return Rect{double(b.x - a.x), double(b.y - a.y), double(b.width), double(b.height)};
    }
    template <typename F>
    bool processUntil(F done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < end)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return done();
    }

    static inline HeadlessKwin* kwin = nullptr;
    std::unique_ptr<KwinPlatformParts> parts;
};

TEST_F(KwinTest, ReadsMovesAndReportsBothOutputs) {
    const std::uint32_t first = idOf("Virtual-0"), second = idOf("Virtual-1");
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    const auto active = parts->services->activeDisplays();
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[0], (Disp{first, {0, 0, 1920, 1080}}));
    EXPECT_EQ(active[1], (Disp{second, {1920, 0, 1280, 720}}));
    EXPECT_EQ(parts->services->mainDisplay(), first);
    EXPECT_FALSE(parts->services->mirrors(second));
    EXPECT_EQ(parts->identity->hardware(second).name, "Virtual-1");

    std::map<std::uint32_t, std::uint32_t> flags;
    ASSERT_EQ(parts->changes->registerCallback(
                  [&](std::uint32_t display, std::uint32_t f) { flags[display] |= f; }),
              0);
    // Left of the main display, bottoms aligned: the layout starts left of the origin.
    ASSERT_TRUE(parts->services->configure({{second, -1280, 360}}));
    EXPECT_EQ(shownFrame(), (Rect{-1280, 360, 1280, 720}));
    const auto moved = parts->services->activeDisplays();
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0], (Disp{first, {0, 0, 1920, 1080}}));
    EXPECT_EQ(moved[1], (Disp{second, {-1280, 360, 1280, 720}}));
    // Another client sees the change as an event, once per display and
    // configuration although KWin reports each output on its own.
    auto watcher = openKwin(kwin->socket().c_str());
    ASSERT_NE(watcher, nullptr);
    std::map<std::uint32_t, std::uint32_t> seen;
    std::map<std::uint32_t, int> reports;
    ASSERT_EQ(watcher->changes->registerCallback([&](std::uint32_t display, std::uint32_t f) {
        seen[display] |= f;
        ++reports[display];
    }),
              0);
    ASSERT_TRUE(parts->services->configure({{second, 1920, 0}}));
    EXPECT_EQ(shownFrame(), (Rect{1920, 0, 1280, 720}));
    EXPECT_TRUE(processUntil([&] { return seen.count(second) > 0; }));
    ASSERT_TRUE(watcher->client->roundtrip());
    EXPECT_EQ(reports[second], 1);
    EXPECT_TRUE(seen[second] & changeFlag::moved);
    EXPECT_FALSE(seen[second] & (changeFlag::add | changeFlag::remove));
}

TEST_F(KwinTest, DumpDisplaysNamesTheBackendAndBothOutputs) {
    const auto r =
        testing::runCommand(testing::programOnWayland(kwin->socket(), "--dump-displays"));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("backend=kwin"), std::string::npos) << r.out;
    for (const char* name : {"Virtual-0", "Virtual-1"})
        EXPECT_NE(r.out.find(name), std::string::npos) << name << '\n' << r.out;
}

TEST_F(KwinTest, MoveTestMovesTheSecondOutputAndBack) {
    ASSERT_EQ(kwin->outputs()["Virtual-1"].x, 1920);
    testing::moveTestMovesAndReturns(testing::programOnWayland(kwin->socket(), "--movetest"),
                                     [&] { return kwin->outputs()["Virtual-1"].x; });
}

TEST(KwinOpenTest, NoCompositorIsNoBackend) {
    testing::LogCapture log;
    EXPECT_EQ(openKwin("/nonexistent/wayland-0"), nullptr);
    const auto lines = log.messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("kwin backend unavailable: ", 0), 0u) << lines[0];
}

}  // namespace
}  // namespace seam
