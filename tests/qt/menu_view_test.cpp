// The menu models shown in QMenus: texts, states, submenus, updates in place and
// what choosing an item hands back.
#include "shell/qt/menu_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QWidgetAction>

#include "qt_app.h"
#include "shell/saved_layouts_menu.h"
#include "shell/status_menu.h"

namespace seam {
namespace {

QStringList texts(const QMenu& menu) {
    QStringList out;
    for (const QAction* a : menu.actions()) out << (a->isSeparator() ? "---" : a->text());
    return out;
}

// Made before the menus, which need the application.
struct AppFirst {
    AppFirst() { testing::qtApp(); }
};

class MenuViewTest : public ::testing::Test, private AppFirst {
  protected:
    QMenu menu;
    QMenu layoutsQMenu;
    Menu layouts;
    std::vector<MenuItem> chosen;
    MenuView view{menu, [this](const MenuItem& i) { chosen.push_back(i); },
                  [this](const Menu* m) { return m == &layouts ? &layoutsQMenu : nullptr; }};
};

TEST_F(MenuViewTest, ShowsTheStatusMenu) {
    StatusMenu status = buildStatusMenu(&layouts, false);
    setHotKeyTitles(status, defaultAlign, defaultUndo);
    view.show(status.menu);
    EXPECT_EQ(texts(menu),
              (QStringList{"Align Monitors…   Ctrl+Alt+Super+A", "Undo   Ctrl+Alt+Super+Z",
                           "Shortcut Settings…", "---", "Saved Layouts", "---", "How to Use",
                           "Check for Updates…", "Open at Login", "---", "Quit Seamwright"}));
    const auto actions = menu.actions();
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(actions[10]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(actions[4]->menu(), &layoutsQMenu);
    EXPECT_EQ(actions[0]->menu(), nullptr);
    EXPECT_FALSE(actions[8]->isChecked());
    EXPECT_TRUE(menu.toolTipsVisible());

    actions[0]->trigger();
    actions[8]->trigger();
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].command, MenuCommand::startAlign);
    EXPECT_EQ(chosen[1].command, MenuCommand::toggleLogin);
}

TEST_F(MenuViewTest, ReplacingTheTailKeepsTheActionsAbove) {
    StatusMenu status = buildStatusMenu(&layouts, false);
    view.show(status.menu);
    const auto before = menu.actions();

    status.loginItem().checked = true;
    replaceSupportAndQuit(status.menu, false, true);
    view.show(status.menu);
    const auto after = menu.actions();
    ASSERT_EQ(after.size(), 13);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(after[i], before[i]) << i;
    EXPECT_TRUE(after[8]->isChecked());
    EXPECT_EQ(texts(menu).mid(9),
              (QStringList{"---", "Support This App…", "---", "Quit Seamwright"}));

    replaceSupportAndQuit(status.menu, false, false);
    view.show(status.menu);
    EXPECT_EQ(texts(menu).mid(9), (QStringList{"---", "Quit Seamwright"}));
    EXPECT_EQ(menu.actions()[0], before[0]);

    menu.actions()[10]->trigger();  // support is gone: this is quit now, not a command
    EXPECT_TRUE(chosen.empty());
}

TEST_F(MenuViewTest, LayoutItemsCarryTheirStateAndTheirLayout) {
    const DisplayIdent panel{.vendor = 1552, .model = 41234, .builtin = true};
    const DisplayIdent monitor{.vendor = 19501, .model = 2073, .serialNumber = 48213};
    const std::vector<LiveDisplay> live = {
        {.id = 1, .ident = panel, .frame = {0, 0, 1710, 1112}, .isMain = true},
        {.id = 2, .ident = monitor, .frame = {1710, 0, 1280, 960}}};
    SavedLayout desk{.id = "A",
                     .name = "Desk & Co",
                     .displays = {{.ident = panel, .width = 1710, .height = 1112, .main = true},
                                  {.ident = monitor, .x = 1710, .width = 1280, .height = 960}}};
    SavedLayout other = desk;
    other.id = "B";
    other.name = "Other";
    other.displays[1].ident.model = 1;

    MenuView submenu(layoutsQMenu, [this](const MenuItem& i) { chosen.push_back(i); });
    submenu.show(savedLayoutsMenu(live, {desk, other}, {}, true));
    auto actions = layoutsQMenu.actions();
    ASSERT_EQ(actions.size(), 7);
    EXPECT_TRUE(actions[0]->isEnabled());
    EXPECT_EQ(actions[2]->text(), "Desk && Co");
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_TRUE(actions[5]->isChecked());  // the suggestion switch

    auto* noted = qobject_cast<QWidgetAction*>(actions[3]);
    ASSERT_NE(noted, nullptr);
    EXPECT_FALSE(noted->isEnabled());
    EXPECT_EQ(noted->toolTip(), "Different monitors are connected");
    QStringList labels;
    for (const QLabel* l : noted->defaultWidget()->findChildren<QLabel*>()) labels << l->text();
    EXPECT_EQ(labels, (QStringList{"Other", "Different monitors are connected"}));
    const QFont title = noted->defaultWidget()->findChildren<QLabel*>()[0]->font();
    const QFont note = noted->defaultWidget()->findChildren<QLabel*>()[1]->font();
    EXPECT_LT(note.pointSizeF(), title.pointSizeF());

    actions[2]->trigger();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].command, MenuCommand::applyLayoutItem);
    EXPECT_EQ(chosen[0].represented, "A");

    // Made afresh with the other monitor attached: the item kinds swap.
    other.displays[1].ident.model = 2073;
    desk.displays[1].ident.model = 1;
    submenu.show(savedLayoutsMenu(live, {desk, other}, {}, false));
    actions = layoutsQMenu.actions();
    ASSERT_EQ(actions.size(), 7);
    EXPECT_NE(qobject_cast<QWidgetAction*>(actions[2]), nullptr);
    EXPECT_EQ(qobject_cast<QWidgetAction*>(actions[3]), nullptr);
    EXPECT_TRUE(actions[3]->isEnabled());
    EXPECT_FALSE(actions[5]->isChecked());
    actions[3]->trigger();
    EXPECT_EQ(chosen.back().represented, "B");

    submenu.show(savedLayoutsMenu({}, {}, {}, true));
    EXPECT_EQ(texts(layoutsQMenu),
              (QStringList{"Save Current Layout…", "---",
                           "Suggest a saved layout when monitors change", "Manage Layouts…"}));
    EXPECT_FALSE(layoutsQMenu.actions()[0]->isEnabled());
    EXPECT_FALSE(layoutsQMenu.actions()[3]->isEnabled());
}

}  // namespace
}  // namespace seam
