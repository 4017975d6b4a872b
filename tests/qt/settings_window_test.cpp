// The settings and guide windows on the offscreen platform: key presses as Qt
// delivers them, the buttons' actions, and the drawn content.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "base/text.h"
#include "platform/sim/manual_clock.h"
#include "qt_app.h"
#include "shell/qt/guide_window.h"
#include "shell/qt/key_event.h"
#include "shell/qt/settings_window.h"
#include "shell/settings_sample.h"
#include "support/log_capture.h"

namespace seam {
namespace {

constexpr auto ctrlAltMeta = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

QKeyEvent keyPress(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    testing::qtApp();  // first: it prepares the keyboard the event names
    return QKeyEvent(QEvent::KeyPress, key, mods);
}

std::optional<HotKeySpec> specOf(int key, Qt::KeyboardModifiers mods) {
    const QKeyEvent e = keyPress(key, mods);
    const auto k = keyEventFrom(e);
    if (!k) return std::nullopt;
    return HotKeySpec::from(*k);
}

TEST(KeyEvents, QtKeysBecomeVirtualKeyCodes) {
    testing::qtApp();
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        std::optional<HotKeySpec> spec;
    };
    const Case cases[] = {
        {"control-option-command A", Qt::Key_A, ctrlAltMeta, defaultAlign},
        {"command is the Super key", Qt::Key_Z, Qt::MetaModifier, HotKeySpec{6, 0x100, "Z"}},
        {"control-shift-F5", Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier,
         HotKeySpec{96, 0x1200, "F5"}},
        {"option-command-space", Qt::Key_Space, Qt::AltModifier | Qt::MetaModifier,
         HotKeySpec{49, 0x900, "Space"}},
        {"shifted 1 names its key", Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier,
         HotKeySpec{18, 0x1200, "1"}},
        {"left arrow", Qt::Key_Left, Qt::ControlModifier, HotKeySpec{123, 0x1000, "←"}},
        {"shift alone is not enough", Qt::Key_A, Qt::ShiftModifier, std::nullopt},
        {"a key the hot keys cannot grab", Qt::Key_Eacute, Qt::ControlModifier, std::nullopt},
        {"a key without a name", Qt::Key_Home, Qt::ControlModifier, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(specOf(c.key, c.mods), c.spec);
    }
    // A modifier pressed on its way to a combination is no key at all.
    const QKeyEvent control = keyPress(Qt::Key_Control, Qt::ControlModifier);
    EXPECT_FALSE(keyEventFrom(control));
    const QKeyEvent escape = keyPress(Qt::Key_Escape);
    EXPECT_EQ(keyEventFrom(escape)->keyCode, 53u);
}

class SettingsWindowTest : public ::testing::Test {
  protected:
    SettingsWindowTest() {
        testing::qtApp();
        setKorean(false);
        layouts = settingsSample().layouts;
        specs = {{"align", defaultAlign}, {"undo", defaultUndo}};
        w.specs = [this] { return specs; };
        w.layouts = [this] { return layouts; };
        w.onChange = [this](const std::string& id, const HotKeySpec& s) {
            changes.emplace_back(id, s);
            specs[id] = s;
        };
        w.onRecordingChanged = [this](bool r) { recordingChanges.push_back(r); };
        w.beep = [this] { ++beeps; };
    }
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e = keyPress(key, mods);
        QApplication::sendEvent(w.window(), &e);
    }
    std::string title(const std::string& id) { return w.shortcutButton(id)->text().toStdString(); }

    SettingsWindow w;
    std::vector<SavedLayout> layouts;
    KeySpecs specs;
    std::vector<std::pair<std::string, HotKeySpec>> changes;
    std::vector<bool> recordingChanges;
    int beeps = 0;
    testing::LogCapture logs;
};

TEST_F(SettingsWindowTest, RecordingTakesOnlyAValidFreeKey) {
    w.renderContent();
    w.shortcutButton("undo")->click();
    EXPECT_EQ(w.recording(), "undo");
    EXPECT_EQ(recordingChanges, std::vector<bool>{true});
    EXPECT_EQ(title("undo"), "Press keys… (Esc to cancel)");
    EXPECT_EQ(title("align"), "Ctrl+Alt+Super+A");  // the other rows keep theirs

    press(Qt::Key_Control, Qt::ControlModifier);  // on the way to a combination
    EXPECT_EQ(beeps, 0);
    press(Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(beeps, 1);
    press(Qt::Key_A, ctrlAltMeta);  // align's
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(logs.messages(), std::vector<std::string>{"hotkey clash with align"});
    EXPECT_EQ(w.recording(), "undo");
    EXPECT_TRUE(changes.empty());

    press(Qt::Key_Escape);
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(recordingChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(title("undo"), "Ctrl+Alt+Super+Z");
    // Not recording: keys pass by.
    press(Qt::Key_B, ctrlAltMeta);
    EXPECT_TRUE(changes.empty());

    w.shortcutButton("undo")->click();
    press(Qt::Key_Z, ctrlAltMeta);  // the row's own key clashes with nothing
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(std::string("undo"), defaultUndo));
    w.shortcutButton("align")->click();
    press(Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].first, "align");
    EXPECT_EQ(title("align"), "Ctrl+Shift+F5");
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(recordingChanges, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST_F(SettingsWindowTest, LayoutKeysDefaultsAndClearing) {
    const std::string home = "layout." + layouts[0].id, other = "layout." + layouts[1].id;
    specs[home] = HotKeySpec{18, HotKeySpec::ctrlOptCmd, "1"};
    std::vector<std::string> cleared;
    w.onClear = [&](const std::string& id) {
        cleared.push_back(id);
        specs.erase(id);
    };
    specs[other] = HotKeySpec{51, 0x1B00, "⌫"};
    w.renderContent();
    EXPECT_EQ(title(home), "Ctrl+Alt+Super+1");
    EXPECT_TRUE(w.shortcutButton(home)->toolTip().isEmpty());
    // Too long for the button: shortened, and whole in the tool tip.
    const QAbstractButton* longKey = w.shortcutButton(other);
    EXPECT_EQ(longKey->toolTip(), "Ctrl+Alt+Shift+Super+Backspace");
    EXPECT_TRUE(longKey->text().contains(QChar(0x2026))) << longKey->text().toStdString();
    EXPECT_LE(longKey->fontMetrics().horizontalAdvance(longKey->text()), longKey->width());
    specs.erase(other);
    w.renderContent();
    EXPECT_EQ(title(other), "-");
    EXPECT_FALSE(w.clearButton(home)->isHidden());
    EXPECT_TRUE(w.clearButton(other)->isHidden());

    w.shortcutButton(home)->click();
    EXPECT_TRUE(w.clearButton(home)->isHidden());  // not while recording it
    w.clearButton(home)->click();
    EXPECT_EQ(cleared, std::vector<std::string>{home});
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(title(home), "-");
    EXPECT_TRUE(w.clearButton(home)->isHidden());

    specs["align"] = specs["undo"] = HotKeySpec{96, 0, "F5"};
    specs[other] = defaultAlign;
    changes.clear();
    for (QPushButton* b : w.content()->findChildren<QPushButton*>())
        if (b->text() == "Defaults") b->click();
    EXPECT_EQ(changes, (std::vector<std::pair<std::string, HotKeySpec>>{{"align", defaultAlign},
                                                                        {"undo", defaultUndo}}));
    EXPECT_EQ(title("align"), "Ctrl+Alt+Super+A");
    EXPECT_EQ(title(other), "Ctrl+Alt+Super+A");  // layout keys are left alone
}

TEST_F(SettingsWindowTest, RenameAutoApplyAndDelete) {
    std::vector<std::string> renames, deleted;
    std::vector<std::pair<std::string, bool>> autoApplied;
    w.onRename = [&](const std::string& id, const std::string& name) {
        renames.push_back(name);
        if (name == "Office") return false;
        for (auto& l : layouts)
            if (l.id == id) l.name = name + " (stored)";
        return true;
    };
    w.onAutoApply = [&](const std::string& id, bool on) { autoApplied.emplace_back(id, on); };
    w.onDelete = [&](const std::string& id) { deleted.push_back(id); };
    w.renderContent();
    auto* field =
        w.content()->findChild<QLineEdit*>(QString::fromStdString("name." + layouts[0].id));
    ASSERT_TRUE(field);

    field->setText("Office");
    w.renamed(field);
    EXPECT_EQ(field->text(), "Home");
    EXPECT_EQ(beeps, 1);
    field->setText("Desk");
    w.renamed(field);
    EXPECT_EQ(field->text(), "Desk (stored)");
    EXPECT_EQ(renames, (std::vector<std::string>{"Office", "Desk"}));

    const auto boxes = w.content()->findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_FALSE(boxes[0]->isChecked());
    EXPECT_TRUE(boxes[1]->isChecked());
    boxes[0]->click();
    EXPECT_EQ(autoApplied, (std::vector<std::pair<std::string, bool>>{{layouts[0].id, true}}));

    // Deleting asks first; Cancel changes nothing.
    for (const char* choice : {"Cancel", "Delete"}) {
        w.deleteLayout(layouts[1].id);
        auto* box = w.window()->findChild<QMessageBox*>();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), "Delete the Layout 2 layout?");
        for (QAbstractButton* b : box->buttons())
            if (b->text() == choice) b->click();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(deleted, std::vector<std::string>{layouts[1].id});
    w.deleteLayout("no such layout");
    EXPECT_FALSE(w.window()->findChild<QMessageBox*>());
}

TEST_F(SettingsWindowTest, SizeFollowsTheLayouts) {
    layouts.clear();
    QWidget* empty = w.renderContent();
    EXPECT_EQ(empty->size(), QSize(400, 190));
    int defaultsY = -1;
    for (QPushButton* b : empty->findChildren<QPushButton*>())
        if (b->text() == "Defaults") defaultsY = b->y();
    EXPECT_EQ(defaultsY, 142);

    layouts = std::vector<SavedLayout>(7, settingsSample().layouts[0]);
    for (std::size_t i = 0; i < layouts.size(); ++i) layouts[i].id = "L" + std::to_string(i);
    w.show();
    QWidget* full = w.content();
    EXPECT_EQ(full->size(), QSize(400, 530));
    auto* scroll = full->findChild<QScrollArea*>();
    ASSERT_TRUE(scroll);
    EXPECT_EQ(scroll->geometry(), QRect(0, 172, 400, 300));
    EXPECT_EQ(scroll->widget()->height(), 420);
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_EQ(scroll->findChildren<QLineEdit*>().size(), 7);

    // Shown windows are rebuilt when the layouts change, and recording ends.
    w.record("align");
    layouts.resize(1);
    w.reloadLayouts();
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(w.content()->size(), QSize(400, 290));
    w.window()->close();
}

// Escape reaches the window from the focused button; while a key is being
// recorded it only ends the recording. Closing the window ends it too.
TEST_F(SettingsWindowTest, EscapeOrClosingEndsRecordingAndEscapeClosesWhenIdle) {
    struct Case {
        const char* name;
        std::optional<std::string> recording;
        bool escape;  // else the window is closed
        bool open;
    };
    const Case cases[] = {{"idle", std::nullopt, true, false},
                          {"recording", "align", true, true},
                          {"closed while recording", "align", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recordingChanges.clear();
        w.show();
        if (c.recording) w.record(*c.recording);
        QKeyEvent escape = keyPress(Qt::Key_Escape);
        if (c.escape)
            QApplication::sendEvent(w.shortcutButton("undo"), &escape);
        else
            w.window()->close();
        EXPECT_EQ(w.window()->isVisible(), c.open);
        EXPECT_FALSE(w.recording());
        EXPECT_EQ(recordingChanges,
                  c.recording ? (std::vector<bool>{true, false}) : std::vector<bool>{});
        EXPECT_EQ(title("align"), "Ctrl+Alt+Super+A");
        w.window()->close();
    }
    EXPECT_TRUE(changes.empty());
}

TEST_F(SettingsWindowTest, RendersTheSample) {
    const SettingsSample sample = settingsSample();
    specs = sample.specs;
    QWidget* content = w.renderContent();
    EXPECT_EQ(content->size(), QSize(400, 350));
    EXPECT_TRUE(testing::matchesReference(content->grab().toImage(), "settings_window"));
}

TEST(GuideWindowTest, ButtonsAndRendering) {
    testing::qtApp();
    setKorean(false);
    ManualClock clock;
    ManualScheduler scheduler(clock);
    GuideWindow guide(scheduler);
    guide.alignKey = [] { return defaultAlign.display(); };
    guide.undoKey = [] { return defaultUndo.display(); };
    int tries = 0, shortcuts = 0;
    guide.onTry = [&] { ++tries; };
    guide.onShortcuts = [&] { ++shortcuts; };

    // Keys that fit share one line beside the button; longer ones take a line each.
    for (const bool shortKeys : {true, false}) {
        if (shortKeys) guide.alignKey = guide.undoKey = [] { return std::string("Ctrl+F5"); };
        QWidget* window = guide.build();
        const QLabel* keys = window->findChild<QLabel*>("keys");
        ASSERT_TRUE(keys);
        EXPECT_EQ(keys->text(), shortKeys ? "Align Ctrl+F5   ·   Undo Ctrl+F5"
                                          : "Align Ctrl+Alt+Super+A\nUndo Ctrl+Alt+Super+Z");
        EXPECT_LE(keys->fontMetrics().boundingRect(keys->rect(), 0, keys->text()).width(),
                  keys->width());
        guide.alignKey = [] { return defaultAlign.display(); };
        guide.undoKey = [] { return defaultUndo.display(); };
    }
    QWidget* window = guide.build();
    EXPECT_EQ(window->size(), QSize(460, 430));
    EXPECT_TRUE(testing::matchesReference(window->grab().toImage(), "guide_window"));

    guide.show();
    guide.show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int visible = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowTitle() == "How to Use Seamwright") ++visible;
    EXPECT_EQ(visible, 1);

    for (QPushButton* b : guide.window()->findChildren<QPushButton*>())
        if (b->text() == "Change Shortcuts…") b->click();
    EXPECT_EQ(shortcuts, 1);
    EXPECT_TRUE(guide.window()->isVisible());  // the guide stays open

    // Return: the guide closes, align mode starts 0.2 s later.
    QKeyEvent ret = keyPress(Qt::Key_Return);
    QApplication::sendEvent(guide.window(), &ret);
    EXPECT_FALSE(guide.window()->isVisible());
    scheduler.advance(0.19);
    EXPECT_EQ(tries, 0);
    scheduler.advance(0.02);
    EXPECT_EQ(tries, 1);

    guide.show();
    guide.window()->findChild<QPushButton*>("close")->click();
    EXPECT_FALSE(guide.window()->isVisible());
    scheduler.advance(1);
    EXPECT_EQ(tries, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // replaced windows
}

}  // namespace
}  // namespace seam
