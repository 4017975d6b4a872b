// The decisions behind the settings and guide windows, without widgets.
#include <gtest/gtest.h>

#include <functional>

#include "base/text.h"
#include "platform/sim/manual_clock.h"
#include "shell/guide_view.h"
#include "shell/settings_view.h"
#include "shell/shortcut_keys.h"
#include "shell/shortcut_recorder.h"
#include "support/log_capture.h"

namespace seam {
namespace {

using KeyEvent = HotKeySpec::KeyEvent;
using Kind = RecordedKey::Kind;

const HotKeySpec kOne{18, HotKeySpec::ctrlOptCmd, "1"};

// A key event: modifiers as letters, c(ontrol) o(ption) s(hift) m (command).
KeyEvent ev(std::uint32_t keyCode, std::string_view mods, std::string characters = "") {
    const auto has = [&](char m) { return mods.find(m) != std::string_view::npos; };
    return {keyCode, has('c'), has('o'), has('s'), has('m'), std::move(characters)};
}

TEST(ShortcutRecorder, JudgesEachPress) {
    const KeySpecs specs = {{"align", defaultAlign}, {"undo", defaultUndo}, {"layout.L1", kOne}};
    struct Case {
        const char* name;
        std::string recording;
        KeyEvent event;
        Kind kind;
        std::string clashWith;
    };
    const Case cases[] = {
        {"escape ends it", "undo", ev(53, ""), Kind::cancel, ""},
        {"escape with modifiers too", "undo", ev(53, "c"), Kind::cancel, ""},
        {"shift-A is no shortcut", "undo", ev(0, "s", "a"), Kind::invalid, ""},
        {"no key name", "undo", ev(0xFFFF, "c"), Kind::invalid, ""},
        {"align's key for undo", "undo", ev(0, "com", "a"), Kind::clash, "align"},
        {"a layout's key for align", "align", ev(18, "com", "1"), Kind::clash, "layout.L1"},
        {"the row's own key", "undo", ev(6, "com", "z"), Kind::accept, ""},
        {"undo's key for a layout", "layout.L2", ev(6, "com", "z"), Kind::clash, "undo"},
        {"a free key for a layout", "layout.L2", ev(96, "c"), Kind::accept, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordedKey r = judgeRecordedKey(c.recording, c.event, specs);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.clashWith, c.clashWith);
        if (c.kind == Kind::accept) {
            EXPECT_EQ(r.spec, HotKeySpec::from(c.event));
        }
    }
}

class ShortcutStorage : public ::testing::Test {
  protected:
    HotKeySpec align = defaultAlign, undo = defaultUndo;
    LayoutKeys layouts;
    MemoryStore standard, prefs;
    testing::LogCapture logs;
    ShortcutKeys keys() { return {align, undo, layouts}; }
};

TEST_F(ShortcutStorage, ChangesGoWhereEachKeyIsKept) {
    const HotKeySpec f5{96, HotKeySpec::control, "F5"};
    keys().change("undo", f5, standard, prefs);
    keys().change("layout.L1", kOne, standard, prefs);
    keys().change("align", f5, standard, prefs);
    EXPECT_EQ(undo, f5);
    EXPECT_EQ(align, f5);
    EXPECT_EQ(layouts, (LayoutKeys{{"L1", kOne}}));
    // Align and undo in the user's settings, layout keys in the program's.
    EXPECT_EQ(HotKeySpec::stored("undo", standard), f5);
    EXPECT_EQ(HotKeySpec::stored("align", standard), f5);
    EXPECT_EQ(HotKeySpec::stored("layout.L1", prefs), kOne);
    EXPECT_FALSE(HotKeySpec::stored("undo", prefs));
    EXPECT_FALSE(HotKeySpec::stored("layout.L1", standard));
    EXPECT_EQ(logs.messages(), (std::vector<std::string>{"hotkey undo = Ctrl+F5",
                                                         "hotkey layout.L1 = Ctrl+Alt+Super+1",
                                                         "hotkey align = Ctrl+F5"}));
    EXPECT_EQ(keys().specs(), (KeySpecs{{"align", f5}, {"undo", f5}, {"layout.L1", kOne}}));
}

TEST_F(ShortcutStorage, OnlyLayoutKeysClear) {
    keys().change("layout.L1", kOne, standard, prefs);
    standard.values.clear();
    EXPECT_FALSE(keys().clear("align", prefs));
    EXPECT_FALSE(keys().clear("undo", prefs));
    EXPECT_EQ(align, defaultAlign);
    EXPECT_EQ(undo, defaultUndo);
    EXPECT_TRUE(keys().clear("layout.L1", prefs));
    EXPECT_TRUE(layouts.empty());
    EXPECT_TRUE(prefs.values.empty());
    EXPECT_EQ(logs.messages().back(), "hotkey layout.L1 cleared");
}

TEST(SettingsView, ArrangementByLayoutCount) {
    namespace sv = settings_view;
    struct Case {
        std::size_t count;
        bool layouts, scroller;
        double listHeight, y0, height;
    };
    const Case cases[] = {
        {0, false, false, 0, 142, 190},
        {1, true, false, 60, 242, 290},
        {5, true, false, 300, 482, 530},
        {7, true, true, 300, 482, 530},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const sv::Arrangement a = sv::arrange(c.count);
        EXPECT_EQ(a.layouts, c.layouts);
        EXPECT_EQ(a.scroller, c.scroller);
        EXPECT_EQ(a.list.height, c.listHeight);
        EXPECT_EQ(a.documentHeight, 60.0 * double(c.count));
        EXPECT_EQ(a.y0, c.y0);
        EXPECT_EQ(a.height, c.height);
    }
    EXPECT_EQ(sv::defaultsFrame(40, 142), (Rect{306, 142, 70, 30}));
    EXPECT_EQ(sv::defaultsFrame(80, 142), (Rect{288, 142, 88, 30}));
    EXPECT_EQ(sv::hintFrame({288, 142, 88, 30}, 142), (Rect{24, 142, 272, 30}));
}

// The laptop, the tray and the keys are named as a Linux desktop names them;
// the rest of each text is the same as everywhere.
TEST(SettingsView, TextsUseTheDesktopsWords) {
    SavedLayout l;
    l.displays = {
        {.ident = {.builtin = true}, .name = "Built-in Retina Display"}, {.name = "SAMSUNG"}, {}};
    const std::string align = defaultAlign.display(), undo = HotKeySpec{6, 0x100, "Z"}.display();
    struct Case {
        const char* name;
        std::function<std::string()> text;
        const char* en;
        const char* ko;
    };
    const Case cases[] = {
        {"monitors line", [&] { return settings_view::monitorsLine(l); },
         "Laptop · SAMSUNG · monitor", "노트북 · SAMSUNG · 모니터"},
        {"hint", settings_view::hint,
         "Click a button, then press a key combination. It must include Ctrl, Alt or Super.",
         "버튼을 누르고 원하는 키 조합을 누르세요. Ctrl·Alt·Super 중 하나는 꼭 들어가야 해요."},
        {"guide step 1", [&] { return guide_view::texts(align, undo).steps[0]; },
         "Click the two-screen icon in the tray and choose “Align Monitors”, or press "
         "Ctrl+Alt+Super+A.",
         "트레이의 두 화면 아이콘에서 「모니터 정렬하기」를 눌러요. 단축키 Ctrl+Alt+Super+A도 "
         "돼요."},
        {"guide step 1 without a tray",
         [&] { return guide_view::texts(align, undo, false).steps[0]; },
         "Press Ctrl+Alt+Super+A. No icon in the panel? On GNOME, turn on the AppIndicator "
         "extension.",
         "단축키 Ctrl+Alt+Super+A를 눌러요. 아이콘이 안 보이면 GNOME에서는 AppIndicator 확장을 "
         "켜요."},
        {"guide key box", [&] { return guide_view::texts(align, undo).keys; },
         "Align Ctrl+Alt+Super+A   ·   Undo Super+Z",
         "정렬 Ctrl+Alt+Super+A   ·   되돌리기 Super+Z"},
        {"guide key box on two lines", [&] { return guide_view::texts(align, undo).keysStacked; },
         "Align Ctrl+Alt+Super+A\nUndo Super+Z", "정렬 Ctrl+Alt+Super+A\n되돌리기 Super+Z"},
        {"delete question", [] { return settings_view::deleteQuestion("Home"); },
         "Delete the Home layout?", "Home 배치를 지울까요?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setKorean(false);
        EXPECT_EQ(c.text(), c.en);
        setKorean(true);
        EXPECT_EQ(c.text(), c.ko);
    }
    setKorean(false);
}

TEST(GuideView, ShownOnceAfterTheFirstLaunch) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    MemoryStore standard;
    int shown = 0;
    EXPECT_TRUE(guide_view::showOnFirstRun(standard, scheduler, [&] { ++shown; }));
    scheduler.advance(0.59);
    EXPECT_EQ(shown, 0);
    scheduler.advance(0.02);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(standard.boolean("didShowGuide"), true);
    // The next launch.
    EXPECT_FALSE(guide_view::showOnFirstRun(standard, scheduler, [&] { ++shown; }));
    scheduler.advance(5);
    EXPECT_EQ(shown, 1);
    // Forgetting it shows the guide again.
    standard.removeObject("didShowGuide");
    EXPECT_TRUE(guide_view::showOnFirstRun(standard, scheduler, [&] { ++shown; }));
    scheduler.advance(0.6);
    EXPECT_EQ(shown, 2);
}

}  // namespace
}  // namespace seam
