#include "shell/saved_layouts_menu.h"

#include "base/text.h"
#include "layouts/layout_plan.h"

namespace seam {

std::string monitorsDifferText() {
    return T("지금 연결된 모니터가 달라요", "Different monitors are connected");
}

Menu savedLayoutsMenu(const std::vector<LiveDisplay>& live, const std::vector<SavedLayout>& layouts,
                      const std::map<std::string, HotKeySpec>& layoutKeys, bool suggestEnabled) {
    Menu m;
    m.items.push_back({.title = T("지금 배치 저장…", "Save Current Layout…"),
                       .command = MenuCommand::saveLayout,
                       .enabled = live.size() > 1});
    if (!layouts.empty()) {
        m.items.push_back(MenuItem::separatorItem());
        for (const SavedLayout& layout : layouts) {
            MenuItem item{.title = layout.name,
                          .command = MenuCommand::applyLayoutItem,
                          .represented = layout.id};
            if (auto key = layoutKeys.find(layout.id); key != layoutKeys.end())
                item.title += "   " + key->second.display();
            if (const auto plan = planLayout(layout, live)) {
                item.checked = plan->alreadyMatches;
            } else {
                item.enabled = false;
                item.toolTip = monitorsDifferText();
                item.note = item.toolTip;
            }
            m.items.push_back(std::move(item));
        }
    }
    m.items.push_back(MenuItem::separatorItem());
    m.items.push_back({.title = T("모니터가 바뀌면 저장한 배치 추천하기",
                                  "Suggest a saved layout when monitors change"),
                       .command = MenuCommand::toggleSuggest,
                       .checked = suggestEnabled});
    m.items.push_back({.title = T("배치 관리…", "Manage Layouts…"),
                       .command = MenuCommand::manageLayouts,
                       .enabled = !layouts.empty()});
    return m;
}

}  // namespace seam
