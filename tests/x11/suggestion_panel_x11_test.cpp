// The suggestion panel on the virtual server leaves the focus where it is.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>

#include "platform/sim/manual_clock.h"
#include "qt_on_x.h"
#include "suggest/qt/suggestion_panel.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::xserver;
using VirtualXServer = testing::VirtualXServer;

class SuggestionPanelX11 : public testing::QtOnX {};

TEST_F(SuggestionPanelX11, NeverTakesTheFocusAndReturnSwitches) {
    ASSERT_TRUE(xserver()) << VirtualXServer::lastError();
    // Another window of ours has the focus, as the frontmost application would.
    QLineEdit front;
    front.show();
    front.activateWindow();
    ASSERT_TRUE(waitFor([&] { return front.isActiveWindow(); }));

    ManualClock clock;
    ManualScheduler scheduler{clock};
    SuggestionPanel panel(scheduler);
    std::vector<std::string> answers;
    panel.onAnswer = [&](const std::string& id, bool apply, bool) {
        answers.push_back(id + (apply ? " switch" : " later"));
    };
    panel.show("A", "Office", QRect(1600, 0, 24, 24));
    ASSERT_TRUE(panel.window());
    ASSERT_TRUE(waitFor([&] { return panel.window()->isVisible(); }));
    // Centred under the anchor, 8 points inside the right edge of the panel's screen.
    EXPECT_EQ(panel.window()->geometry(), QRect(1710 - 8 - 340, 30, 340, 132));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_TRUE(front.isActiveWindow());
    EXPECT_FALSE(panel.window()->isActiveWindow());

    QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.window(), &ret);
    EXPECT_EQ(answers, std::vector<std::string>{"A switch"});
    EXPECT_FALSE(panel.isShowing());
}

}  // namespace
}  // namespace seam
