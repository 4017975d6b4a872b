// A menu as plain records: built and changed by the logic, shown by a thin Qt
// layer and printed by --dump-menu, so neither needs widgets to be tested.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace seam {

// What choosing an item does; the receiver of every command but terminate is the
// application delegate, terminate goes to the application itself.
enum class MenuCommand {
    none,
    startAlign,
    undo,
    openSettings,
    openGuide,
    checkUpdates,
    toggleLogin,
    toggle,
    toggleAlign,
    openSupport,
    saveLayout,
    applyLayoutItem,
    toggleSuggest,
    manageLayouts,
    terminate,
};

// The command's method name as the dump prints it: "startAlign", and with a
// colon for those that are handed the chosen item ("applyLayoutItem:").
std::string_view selectorName(MenuCommand command);

struct Menu;

struct MenuItem {
    bool separator = false;
    std::string title;
    MenuCommand command = MenuCommand::none;
    // A plain character, used with the command modifier; empty: none.
    std::string keyEquivalent;
    bool enabled = true;
    bool checked = false;
    std::string toolTip;
    // A second line under the title, in the small font; empty: none.
    std::string note;
    int tag = 0;
    // The item's payload; a layout id for applyLayoutItem.
    std::optional<std::string> represented;
    // Not owned; the menu lives as long as the item is shown.
    const Menu* submenu = nullptr;

    static MenuItem separatorItem(int tag = 0) { return {.separator = true, .tag = tag}; }
    bool operator==(const MenuItem&) const = default;
};

struct Menu {
    std::vector<MenuItem> items;
    bool operator==(const Menu&) const = default;
};

// One text per item: "---" for a separator; the title, or "<" + selector + ">"
// when it is empty ("<?>" without a command); two spaces, the desktop's menu
// modifier ("Ctrl+") and the key equivalent in upper case after it when there is one.
std::vector<std::string> menuTitleDump(const Menu& menu);

}  // namespace seam
