#include "shell/status_menu.h"

#include <algorithm>
#include <string_view>

#include "base/text.h"

namespace seam {

namespace {
std::string inLanguage(bool korean, std::string_view ko, std::string_view en) {
    return std::string(korean ? ko : en);
}

MenuItem item(std::string title, MenuCommand command, std::string key = "") {
    return {.title = std::move(title), .command = command, .keyEquivalent = std::move(key)};
}
}  // namespace

StatusMenu buildStatusMenu(const Menu* layouts, bool support) {
    StatusMenu m;
    auto& items = m.menu.items;
    m.align = items.size();
    items.push_back(item("", MenuCommand::startAlign));
    m.undo = items.size();
    items.push_back(item("", MenuCommand::undo));
    items.push_back(item(T("단축키 설정…", "Shortcut Settings…"), MenuCommand::openSettings, ","));
    items.push_back(MenuItem::separatorItem());
    MenuItem saved = item(T("저장한 배치", "Saved Layouts"), MenuCommand::none);
    saved.submenu = layouts;
    items.push_back(std::move(saved));
    items.push_back(MenuItem::separatorItem());
    items.push_back(item(T("사용법", "How to Use"), MenuCommand::openGuide));
    items.push_back(item(T("업데이트 확인…", "Check for Updates…"), MenuCommand::checkUpdates));
    m.login = items.size();
    items.push_back(item(T("로그인할 때 열기", "Open at Login"), MenuCommand::toggleLogin));
    // Only in Korean: nobody sees them while their features are off.
    m.edgeTap = item("가장자리 톡톡으로 옮기기 (실험)", MenuCommand::toggle);
    m.autoAlign = item("살짝 틀어지면 자동으로 맞추기", MenuCommand::toggleAlign);
    addSupportAndQuit(m.menu, isKorean(), support);
    return m;
}

void addSupportAndQuit(Menu& menu, bool korean, bool support) {
    menu.items.push_back(MenuItem::separatorItem(menuTailTag));
    if (support) {
        MenuItem s = item(inLanguage(korean, "이 앱 후원하기…", "Support This App…"),
                          MenuCommand::openSupport);
        s.tag = menuTailTag;
        menu.items.push_back(std::move(s));
        menu.items.push_back(MenuItem::separatorItem(menuTailTag));
    }
    MenuItem quit =
        item(inLanguage(korean, "Seamwright 종료", "Quit Seamwright"), MenuCommand::terminate, "q");
    quit.tag = menuTailTag;
    menu.items.push_back(std::move(quit));
}

void replaceSupportAndQuit(Menu& menu, bool korean, bool support) {
    std::erase_if(menu.items, [](const MenuItem& i) { return i.tag == menuTailTag; });
    addSupportAndQuit(menu, korean, support);
}

void setHotKeyTitles(StatusMenu& menu, const HotKeySpec& alignKey, const HotKeySpec& undoKey) {
    menu.alignItem().title = T("모니터 정렬하기…", "Align Monitors…") + "   " + alignKey.display();
    menu.undoItem().title = T("되돌리기", "Undo") + "   " + undoKey.display();
}

}  // namespace seam
