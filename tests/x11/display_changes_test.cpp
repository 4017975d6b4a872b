// Reconfiguration events on the virtual server: xrandr changes reach the
// change gate as RandR events of our own connection, and the gate decides once
// after the settle. Virtual time for the settle; the waits are for the server.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>

#include "geometry/arrangement.h"
#include "layouts/live_display.h"
#include "platform/sim/manual_clock.h"
#include "platform/x11/x11_display_changes.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "qt_on_x.h"
#include "suggest/display_change_gate.h"
#include "suggest/qt/suggestion_panel.h"
#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::xserver;
using VirtualXServer = testing::VirtualXServer;

class DisplayChangesX11 : public testing::QtOnX {
  protected:
    void SetUp() override {
        ASSERT_TRUE(xserver()) << VirtualXServer::lastError();
        ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
        services = X11DisplayServices::open(xserver()->name().c_str());
        changes = X11DisplayChanges::open(xserver()->name().c_str());
        ASSERT_TRUE(services && changes);
        arrangement = std::make_unique<Arrangement>(*services);
        identity = std::make_unique<X11DisplayIdentity>(*services);
        watcher = std::make_unique<DisplayChangeWatcher>(
            *changes, scheduler, [this] { return readLiveDisplays(*arrangement, *identity); });
        watcher->onChanged = [this](const std::vector<LiveDisplay>& live) {
            considered.push_back(setSignature(live));
        };
        ASSERT_EQ(watcher->start(), 0);
    }
    void TearDown() override {
        watcher.reset();
        if (xserver()) xserver()->arrange();
    }
    // Reads what the server sends for a while, so the whole burst is in.
    void takeEvents() {
        ASSERT_TRUE(waitFor([this] {
            scheduler.runDue();
            return watcher->waiting();
        }));
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 300) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            scheduler.runDue();
        }
    }
    std::vector<std::string> settled() const {
        std::vector<std::string> out;
        for (const auto& m : logs.messages())
            if (m.rfind("displays settled", 0) == 0) out.push_back(m);
        return out;
    }

    testing::LogCapture logs;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    std::unique_ptr<X11DisplayServices> services;
    std::unique_ptr<X11DisplayChanges> changes;
    std::unique_ptr<Arrangement> arrangement;
    std::unique_ptr<X11DisplayIdentity> identity;
    std::unique_ptr<DisplayChangeWatcher> watcher;
    std::vector<std::string> considered;
};

std::string signatureOf(std::vector<unsigned long> ids) {
    std::vector<LiveDisplay> live;
    for (unsigned long id : ids) live.push_back({.id = std::uint32_t(id)});
    return setSignature(live);
}

TEST_F(DisplayChangesX11, PluggingInTheSecondMonitorFiresTheGateOnceAfterTheSettle) {
    const unsigned long panel = testing::outputId("DUMMY0"), second = testing::outputId("DUMMY1");
    EXPECT_EQ(watcher->changeGate().lastSignature, signatureOf({panel}));

    xserver()->xrandr("--output DUMMY1 --mode seam1280x960 --pos 1710x0");
    takeEvents();
    // The output was connected but dark: it is enabled, a change of membership.
    EXPECT_EQ(watcher->changeGate().flags, changeFlag::enabled)
        << hexFlags(watcher->changeGate().flags);
    EXPECT_TRUE(watcher->changeGate().membership);
    scheduler.advance(1.5);
    EXPECT_TRUE(settled().empty());
    scheduler.advance(0.5);
    ASSERT_EQ(settled().size(), 1u);
    EXPECT_EQ(settled()[0].rfind("displays settled flags=0x100 set-changed=true id=", 0), 0u)
        << settled()[0];
    EXPECT_EQ(considered, std::vector<std::string>{signatureOf({panel, second})});
    scheduler.advance(60);
    EXPECT_EQ(settled().size(), 1u);
}

TEST_F(DisplayChangesX11, MovingAMonitorSettlesWithoutAChangeOfTheSet) {
    xserver()->xrandr("--output DUMMY1 --mode seam1280x960 --pos 1710x0");
    takeEvents();
    scheduler.advance(2.0);
    ASSERT_EQ(considered.size(), 1u);

    xserver()->xrandr("--output DUMMY1 --pos 1710x100");
    takeEvents();
    EXPECT_EQ(watcher->changeGate().flags, changeFlag::moved);
    scheduler.advance(2.0);
    ASSERT_EQ(settled().size(), 2u);
    EXPECT_EQ(settled()[1].rfind("displays settled flags=0x2 set-changed=false ", 0), 0u)
        << settled()[1];
    EXPECT_EQ(considered.size(), 1u);

    xserver()->xrandr("--output DUMMY1 --off");
    takeEvents();
    EXPECT_EQ(watcher->changeGate().flags, changeFlag::disabled);
    scheduler.advance(2.0);
    EXPECT_EQ(considered.size(), 2u);
}

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

TEST(RenderSuggestionX11, WritesThePanelAndFailsOnAnUnwritablePath) {
    ASSERT_TRUE(xserver()) << VirtualXServer::lastError();
    testing::TempDir dir;
    const std::string path = dir.path() + "/panel.png";
    EXPECT_EQ(testing::runProgram("--render-suggestion " + path).exitCode, 0);
    const QImage image(QString::fromStdString(path));
    EXPECT_EQ(image.size(), QSize(340, 132));
    EXPECT_EQ(
        testing::runProgram("--render-suggestion " + dir.path() + "/missing/panel.png").exitCode,
        1);
}

}  // namespace
}  // namespace seam
