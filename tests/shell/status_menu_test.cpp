#include "shell/status_menu.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "shell/saved_layouts_menu.h"

namespace seam {
namespace {

using Lines = std::vector<std::string>;

class StatusMenuTest : public ::testing::Test {
  protected:
    void TearDown() override { setKorean(false); }
    Menu layouts;
};

TEST_F(StatusMenuTest, KoreanTitles) {
    setKorean(true);
    StatusMenu m = buildStatusMenu(&layouts, true);
    setHotKeyTitles(m, defaultAlign, defaultUndo);
    EXPECT_EQ(
        menuTitleDump(m.menu),
        (Lines{"모니터 정렬하기…   Ctrl+Alt+Super+A", "되돌리기   Ctrl+Alt+Super+Z",
               "단축키 설정…  Ctrl+,", "---", "저장한 배치", "---", "사용법", "업데이트 확인…",
               "로그인할 때 열기", "---", "이 앱 후원하기…", "---", "Seamwright 종료  Ctrl+Q"}));
}

TEST_F(StatusMenuTest, TailIsReplacedAndItemsAboveAreLeftAlone) {
    StatusMenu m = buildStatusMenu(&layouts, false);
    setHotKeyTitles(m, defaultAlign, defaultUndo);
    m.loginItem().checked = true;
    const std::vector<MenuItem> above(m.menu.items.begin(), m.menu.items.begin() + 9);
    const auto aboveOf = [](const StatusMenu& s) {
        return std::vector<MenuItem>(s.menu.items.begin(), s.menu.items.begin() + 9);
    };
    const auto tailOf = [](const StatusMenu& s) {
        const Lines all = menuTitleDump(s.menu);
        return Lines(all.begin() + 9, all.end());
    };

    replaceSupportAndQuit(m.menu, false, true);
    EXPECT_EQ(aboveOf(m), above);
    EXPECT_EQ(tailOf(m), (Lines{"---", "Support This App…", "---", "Quit Seamwright  Ctrl+Q"}));
    for (std::size_t i = 9; i < m.menu.items.size(); ++i)
        EXPECT_EQ(m.menu.items[i].tag, menuTailTag);
    EXPECT_EQ(m.menu.items[10].command, MenuCommand::openSupport);

    replaceSupportAndQuit(m.menu, false, false);
    EXPECT_EQ(aboveOf(m), above);
    EXPECT_EQ(tailOf(m), (Lines{"---", "Quit Seamwright  Ctrl+Q"}));
    EXPECT_TRUE(m.loginItem().checked);

    replaceSupportAndQuit(m.menu, true, false);
    EXPECT_EQ(menuTitleDump(m.menu).back(), "Seamwright 종료  Ctrl+Q");

    Menu empty;
    replaceSupportAndQuit(empty, false, false);
    EXPECT_EQ(menuTitleDump(empty), (Lines{"---", "Quit Seamwright  Ctrl+Q"}));
}

TEST_F(StatusMenuTest, DumpOfUntitledItems) {
    Menu m{.items = {{.command = MenuCommand::applyLayoutItem},
                     {},
                     {.title = "x", .keyEquivalent = "k"},
                     MenuItem::separatorItem()}};
    EXPECT_EQ(menuTitleDump(m), (Lines{"<applyLayoutItem:>", "<?>", "x  Ctrl+K", "---"}));
}

// The panel (id 1) and a monitor (id 2) of a saved layout "Desk".
const DisplayIdent kPanel{.vendor = 1552, .model = 41234, .builtin = true};
const DisplayIdent kMonitor{.vendor = 19501, .model = 2073, .serialNumber = 7777};

LiveDisplay live(std::uint32_t id, DisplayIdent ident, Rect frame) {
    return {.id = id,
            .ident = ident,
            .name = "d",
            .frame = frame,
            .isMain = frame.minX() == 0 && frame.minY() == 0};
}

SavedLayout layout(std::string id, std::string name, double monitorX) {
    return {.id = std::move(id),
            .name = std::move(name),
            .displays = {{.ident = kPanel, .width = 1710, .height = 1112, .main = true},
                         {.ident = kMonitor, .x = monitorX, .width = 1280, .height = 960}}};
}

TEST(SavedLayoutsMenu, WithoutLayouts) {
    const std::vector<LiveDisplay> one = {live(1, kPanel, {0, 0, 1710, 1112})};
    const Menu m = savedLayoutsMenu(one, {}, {}, true);
    EXPECT_EQ(menuTitleDump(m),
              (Lines{"Save Current Layout…", "---", "Suggest a saved layout when monitors change",
                     "Manage Layouts…"}));
    EXPECT_EQ(m.items[0].command, MenuCommand::saveLayout);
    EXPECT_FALSE(m.items[0].enabled);
    EXPECT_EQ(m.items[2].command, MenuCommand::toggleSuggest);
    EXPECT_TRUE(m.items[2].checked);
    EXPECT_EQ(m.items[3].command, MenuCommand::manageLayouts);
    EXPECT_FALSE(m.items[3].enabled);

    auto two = one;
    two.push_back(live(2, kMonitor, {1710, 0, 1280, 960}));
    const Menu m2 = savedLayoutsMenu(two, {}, {}, false);
    EXPECT_TRUE(m2.items[0].enabled);
    EXPECT_FALSE(m2.items[2].checked);
}

TEST(SavedLayoutsMenu, LayoutStates) {
    const std::vector<LiveDisplay> now = {live(1, kPanel, {0, 0, 1710, 1112}),
                                          live(2, kMonitor, {1710, 0, 1280, 960})};
    SavedLayout other = layout("C", "Elsewhere", 1710);
    other.displays[1].ident.model = 9999;
    const std::vector<SavedLayout> layouts = {layout("A", "Desk", 1710), layout("B", "Left", -1280),
                                              other};
    const std::map<std::string, HotKeySpec> keys = {{"B", HotKeySpec{96, 0x1200, "F5"}}};
    const Menu m = savedLayoutsMenu(now, layouts, keys, true);
    EXPECT_EQ(menuTitleDump(m),
              (Lines{"Save Current Layout…", "---", "Desk", "Left   Ctrl+Shift+F5", "Elsewhere",
                     "---", "Suggest a saved layout when monitors change", "Manage Layouts…"}));
    // The other states as shown are in the menu view's test.
    const MenuItem& left = m.items[3];
    EXPECT_EQ(left.represented, "B");
    EXPECT_TRUE(left.enabled);
    EXPECT_FALSE(left.checked);
    EXPECT_TRUE(m.items.back().enabled);

    setKorean(true);
    const Menu ko = savedLayoutsMenu(now, layouts, keys, true);
    setKorean(false);
    EXPECT_EQ(menuTitleDump(ko),
              (Lines{"지금 배치 저장…", "---", "Desk", "Left   Ctrl+Shift+F5", "Elsewhere", "---",
                     "모니터가 바뀌면 저장한 배치 추천하기", "배치 관리…"}));
    EXPECT_EQ(ko.items[4].toolTip, "지금 연결된 모니터가 달라요");
}

}  // namespace
}  // namespace seam
