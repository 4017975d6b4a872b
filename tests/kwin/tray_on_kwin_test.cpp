// The tray program on a private headless KWin, in Qt's wayland platform, used
// as a user does: a command from a terminal, then clicks and keys through
// KWin's fake input. Where the outputs went is read back with wayland-info.
#include <gtest/gtest.h>

#include "fake_input.h"
#include "headless_kwin.h"
#include "platform/kwin/kwin_platform.h"
#include "support/saved_layouts.h"
#include "support/session_bus.h"
#include "support/user_session.h"

namespace seam {
namespace {

using testing::HeadlessKwin;

constexpr std::uint32_t kReturn = 28;  // evdev

class TrayOnKwin : public ::testing::Test, public testing::Desk {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.running());
        kwin = HeadlessKwin::start(bus.address());
        ASSERT_NE(kwin, nullptr) << HeadlessKwin::lastError();
        user = std::make_unique<testing::UserSession>(kwin->socket(), bus.address());
        input = testing::FakeInput::connect(kwin->socket());
        ASSERT_NE(input, nullptr);
    }
    testing::ShownOutputs outputs() const override { return kwin->outputs(); }
    // Onto the point and click, again while the log does not show it taken: the
    // overlay under the pointer may not be mapped yet when the first click comes.
    bool click(int x, int y, const std::string& taken) override {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!input->moveTo(x, y) || !input->click()) return false;
            if (user->logShows(taken, 1)) return true;
        }
        return false;
    }
    // Return answers the question once it has the keyboard.
    bool pressReturn(const std::function<bool()>& answered) override {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!input->press({kReturn})) return false;
            if (testing::waitUntil(answered, 2)) return true;
        }
        return false;
    }

    testing::SessionBus bus;
    std::unique_ptr<HeadlessKwin> kwin;
    std::unique_ptr<testing::UserSession> user;
    std::unique_ptr<testing::FakeInput> input;
};

TEST_F(TrayOnKwin, TwoClicksAndReturnJoinTheClickedPoints) {
    struct Case {
        double scale;  // of the second output
        int secondY;   // where it is clicked, near its left edge, from its top
    };
    // Scaled, the second output is fewer logical points, and so are its window's units.
    const Case cases[] = {{1, 500}, {2, 400}, {1.5, 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE("scale " + std::to_string(c.scale));
        ASSERT_TRUE(kwin->setScale("Virtual-1", c.scale));
        ASSERT_TRUE(testing::waitUntil(
            [&] { return kwin->outputs()["Virtual-1"].width == int(1920 / c.scale + 0.5); }));
        ASSERT_NO_FATAL_FAILURE(
            alignByTwoClicksAndReturn(*user, *this, "Virtual-0", "Virtual-1", c.secondY));
    }
}

TEST_F(TrayOnKwin, ASavedLayoutIsAppliedByNameAndUndone) {
    {
        auto parts = openKwin(kwin->socket().c_str());
        ASSERT_NE(parts, nullptr);
        ASSERT_NO_FATAL_FAILURE(
            testing::storeLowerLayout(*parts->services, *parts->identity, user->configHome()));
    }
    applyLayoutByNameAndUndo(*user, *this, "Virtual-1", "kwin");
}

}  // namespace
}  // namespace seam
