// The tray program in a headless GNOME session, used as a user does: a command
// from a terminal, then clicks and a key through Mutter's remote desktop
// service. Where the monitors went is read back with GetCurrentState.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QString>

#include "headless_mutter.h"
#include "platform/gnome/qt/open_gnome.h"
#include "remote_input.h"
#include "support/saved_layouts.h"
#include "support/user_session.h"

namespace seam {
namespace {

using testing::HeadlessMutter;

constexpr unsigned kReturn = 0xff0d;  // keysym

class TrayOnMutter : public ::testing::Test, public testing::Desk {
  protected:
    void SetUp() override {
        std::string error;
        mutter = HeadlessMutter::start(error);
        ASSERT_NE(mutter, nullptr) << error;
        user = std::make_unique<testing::UserSession>(mutter->socket(), mutter->busAddress(),
                                                      "GSETTINGS_BACKEND=keyfile");
        input = testing::RemoteInput::start(mutter->busAddress(), error);
        ASSERT_NE(input, nullptr) << error;
    }
    testing::ShownOutputs outputs() const override { return mutter->outputs(); }
    // Onto the point and click, again while the log does not show it taken: the
    // overlay under the pointer may not be mapped yet when the first click comes,
    // and now and then Mutter leaves the pointer a few points off after moves
    // made in quick succession.
    bool click(int x, int y, const std::string& taken) override {
        auto o = mutter->outputs();
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!input->moveTo(o["Meta-0"], o["Meta-1"], x, y) || !input->click()) return false;
            if (user->logShows(taken, 1)) return true;
        }
        return false;
    }
    // Return answers the question once it has the keyboard.
    bool pressReturn(const std::function<bool()>& answered) override {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!input->pressKeysym(kReturn)) return false;
            if (testing::waitUntil(answered, 2)) return true;
        }
        return false;
    }

    std::unique_ptr<HeadlessMutter> mutter;
    std::unique_ptr<testing::UserSession> user;
    std::unique_ptr<testing::RemoteInput> input;  // goes before the compositor
};

TEST_F(TrayOnMutter, TwoClicksAndReturnJoinTheClickedPoints) {
    // Where the second monitor is clicked near its left edge, from its top:
    // above the first click and below it.
    for (const int secondY : {100, 700}) {
        SCOPED_TRACE("second clicked at " + std::to_string(secondY));
        ASSERT_NO_FATAL_FAILURE(
            alignByTwoClicksAndReturn(*user, *this, "Meta-0", "Meta-1", secondY));
    }
}

TEST_F(TrayOnMutter, ASavedLayoutIsAppliedByNameAndUndone) {
    {
        // The DRM connectors the program reads too, so both tell the monitors alike.
        auto backend = openGnome(
            DrmConnectors::kDefaultRoot,
            QDBusConnection::connectToBus(QString::fromStdString(mutter->busAddress()), "layouts"));
        ASSERT_NE(backend, nullptr);
        ASSERT_NO_FATAL_FAILURE(
            testing::storeLowerLayout(*backend->services, *backend->identity, user->configHome()));
    }
    applyLayoutByNameAndUndo(*user, *this, "Meta-1", "gnome");
}

}  // namespace
}  // namespace seam
