// The suggestion panel: its drawing, its answers and its time-out.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QScreen>

#include "base/text.h"
#include "platform/sim/manual_clock.h"
#include "qt_app.h"
#include "suggest/qt/suggestion_panel.h"
#include "support/log_capture.h"

namespace seam {
namespace {

TEST(SuggestionPanelRender, ContentMatchesTheReference) {
    testing::qtApp();
    std::unique_ptr<QWidget> content(SuggestionPanel::makeContent("Office", true));
    ASSERT_EQ(content->size(), QSize(340, 132));
    const QImage image = content->grab().toImage();
    // Rounded corners: transparent outside, opaque inside.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(170, 60)), 255);
    EXPECT_TRUE(testing::matchesReference(image, "suggestion_panel"));

    // The later button takes its natural width, at least 92, 6 left of Switch.
    auto* later = content->findChild<QPushButton*>("later");
    auto* sw = content->findChild<QPushButton*>("switch");
    ASSERT_TRUE(later && sw);
    EXPECT_EQ(sw->geometry(), QRect(234, 90, 92, 30));
    EXPECT_GE(later->width(), 92);
    EXPECT_EQ(later->geometry().right() + 1 + 6, sw->x());
}

class SuggestionPanelTest : public ::testing::Test {
  protected:
    SuggestionPanelTest() {
        testing::qtApp();
        panel.onAnswer = [this](const std::string& id, bool apply, bool always) {
            answers.push_back(id + (apply ? " switch" : " later") + (always ? " always" : ""));
        };
    }
    template <class W>
    W* child(const char* name) {
        return panel.window() ? panel.window()->findChild<W*>(name) : nullptr;
    }

    testing::LogCapture logs;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    QPoint cursor{-1000, -1000};
    SuggestionPanel panel{scheduler, [this] { return cursor; }};
    std::vector<std::string> answers;
};

TEST_F(SuggestionPanelTest, WithoutAnchorAtTheTopRightOfTheMainScreen) {
    panel.show("A", "Office", std::nullopt);
    ASSERT_TRUE(panel.isShowing());
    const QRect vf = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(panel.window()->geometry(),
              QRect(vf.x() + vf.width() - 12 - 340, vf.y() + 6, 340, 132));
    EXPECT_TRUE(panel.window()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_FALSE(panel.window()->isActiveWindow());
    EXPECT_EQ(panel.layoutID(), "A");
}

TEST_F(SuggestionPanelTest, AnswersCarryTheCheckBoxAndASecondOfferReplacesTheFirst) {
    panel.show("X", "Desk", std::nullopt);
    panel.show("A", "Office", std::nullopt);  // X goes unanswered
    EXPECT_EQ(panel.layoutID(), "A");
    child<QCheckBox>("check")->setChecked(true);
    child<QPushButton>("switch")->click();
    EXPECT_FALSE(panel.isShowing());
    panel.show("B", "Home", std::nullopt);
    child<QPushButton>("later")->click();
    EXPECT_EQ(answers, (std::vector<std::string>{"A switch always", "B later"}));
    // Nothing remembered: a stray answer does nothing.
    panel.tapSwitch();
    EXPECT_EQ(answers.size(), 2u);
}

TEST_F(SuggestionPanelTest, TimesOutAfterTwentySecondsUnlessThePointerRestsOnIt) {
    panel.show("A", "Office", std::nullopt);
    scheduler.advance(19.5);
    EXPECT_TRUE(panel.isShowing());
    cursor = panel.window()->frameGeometry().center();
    scheduler.advance(0.5);
    EXPECT_TRUE(panel.isShowing());
    scheduler.advance(5.0);
    EXPECT_TRUE(panel.isShowing());
    cursor = {-1000, -1000};
    scheduler.advance(4.5);
    EXPECT_TRUE(panel.isShowing());
    scheduler.advance(0.5);
    EXPECT_FALSE(panel.isShowing());
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(logs.messages(), std::vector<std::string>{"layout suggestion timed out"});
    EXPECT_EQ(scheduler.pending(), 0u);
}

TEST_F(SuggestionPanelTest, DismissStopsTheTimeOutAndAnswersNothing) {
    panel.show("A", "Office", std::nullopt);
    panel.dismiss();
    EXPECT_FALSE(panel.isShowing());
    EXPECT_FALSE(panel.layoutID());
    EXPECT_EQ(scheduler.pending(), 0u);
    scheduler.advance(30);
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(logs.messages().empty());
}

}  // namespace
}  // namespace seam
