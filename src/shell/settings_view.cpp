#include "shell/settings_view.h"

#include <algorithm>

#include "base/platform_words.h"
#include "base/text.h"

namespace seam::settings_view {

std::vector<FixedRow> fixedRows() {
    return {{"align", T("모니터 정렬하기", "Align monitors")}, {"undo", T("되돌리기", "Undo")}};
}

std::string windowTitle() {
    return T("단축키 설정", "Shortcut Settings");
}
std::string shortcutsHeader() {
    return T("단축키", "Shortcuts");
}
std::string layoutsHeader() {
    return T("저장한 배치", "Saved Layouts");
}
std::string defaultsTitle() {
    return T("기본값", "Defaults");
}
std::string hint() {
    const PlatformWords& w = platformWords();
    return T("버튼을 누르고 원하는 키 조합을 누르세요. " + std::string(w.requiredKo) +
                 " 중 하나는 꼭 들어가야 해요.",
             "Click a button, then press a key combination. It must include " +
                 std::string(w.requiredEn) + ".");
}
std::string autoApplyTitle() {
    return T("다음부터 묻지 않고 바로 맞추기", "Next time, switch without asking");
}
std::string clearToolTip() {
    return T("단축키 지우기", "Remove shortcut");
}
std::string deleteText() {
    return T("지우기", "Delete");
}
std::string deleteQuestion(const std::string& layoutName) {
    return isKorean() ? layoutName + " 배치를 지울까요?" : "Delete the " + layoutName + " layout?";
}
std::string cancelText() {
    return T("취소", "Cancel");
}

std::string monitorsLine(const SavedLayout& layout) {
    std::string line;
    for (const SavedDisplay& d : layout.displays) {
        if (!line.empty()) line += " · ";
        if (d.ident.builtin)
            line += builtinScreenName();
        else
            line += d.name ? *d.name : T("모니터", "monitor");
    }
    return line;
}

Arrangement arrange(std::size_t layoutCount) {
    Arrangement a;
    if (layoutCount == 0) {
        a.y0 = 142;
    } else {
        const double shown = std::min<double>(double(layoutCount), visibleLayoutRows);
        a.layouts = true;
        a.documentHeight = layoutRowH * double(layoutCount);
        a.list = {0, 172, W, layoutRowH * shown};
        a.scroller = double(layoutCount) > visibleLayoutRows;
        a.y0 = 172 + layoutRowH * shown + 10;
    }
    a.height = a.y0 + 30 + 18;
    return a;
}

Rect defaultsFrame(double fittedWidth, double y0) {
    const double width = std::max(fittedWidth + 8, 70.0);
    return {376 - width, y0, width, 30};
}

Rect hintFrame(const Rect& defaults, double y0) {
    return {24, y0, defaults.x + 8 - 24, 30};
}

}  // namespace seam::settings_view
