#include "shell/menu.h"

#include <cctype>

#include "base/platform_words.h"

namespace seam {

std::string_view selectorName(MenuCommand command) {
    switch (command) {
        case MenuCommand::none:
            return "";
        case MenuCommand::startAlign:
            return "startAlign";
        case MenuCommand::undo:
            return "undo";
        case MenuCommand::openSettings:
            return "openSettings";
        case MenuCommand::openGuide:
            return "openGuide";
        case MenuCommand::checkUpdates:
            return "checkUpdates";
        case MenuCommand::toggleLogin:
            return "toggleLogin";
        case MenuCommand::toggle:
            return "toggle";
        case MenuCommand::toggleAlign:
            return "toggleAlign";
        case MenuCommand::openSupport:
            return "openSupport";
        case MenuCommand::saveLayout:
            return "saveLayout";
        case MenuCommand::applyLayoutItem:
            return "applyLayoutItem:";
        case MenuCommand::toggleSuggest:
            return "toggleSuggest";
        case MenuCommand::manageLayouts:
            return "manageLayouts";
        case MenuCommand::terminate:
            return "terminate:";
    }
    return "";
}

std::vector<std::string> menuTitleDump(const Menu& menu) {
    std::vector<std::string> out;
    out.reserve(menu.items.size());
    for (const MenuItem& item : menu.items) {
        if (item.separator) {
            out.push_back("---");
            continue;
        }
        std::string text = item.title;
        if (text.empty()) {
            const std::string_view name = selectorName(item.command);
            text = "<" + std::string(name.empty() ? "?" : name) + ">";
        }
        if (!item.keyEquivalent.empty()) {
            std::string key = item.keyEquivalent;
            for (char& c : key)
                if (static_cast<unsigned char>(c) < 0x80)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            (text += "  ") += platformWords().menuKey;
            text += key;
        }
        out.push_back(std::move(text));
    }
    return out;
}

}  // namespace seam
