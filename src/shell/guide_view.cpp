#include "shell/guide_view.h"

#include "base/platform_words.h"
#include "base/text.h"

namespace seam::guide_view {

namespace {
std::string stepOne(const std::string& alignKey, bool trayShown) {
    if (!trayShown)
        return isKorean()
                   ? "단축키 " + alignKey +
                         "를 눌러요. 아이콘이 안 보이면 GNOME에서는 AppIndicator 확장을 켜요."
                   : "Press " + alignKey +
                         ". No icon in the panel? On GNOME, turn on the AppIndicator "
                         "extension.";
    return isKorean() ? trayName() + "의 두 화면 아이콘에서 「모니터 정렬하기」를 눌러요. 단축키 " +
                            alignKey + "도 돼요."
                      : "Click the two-screen icon in the " + trayName() +
                            " and choose “Align Monitors”, or press " + alignKey + ".";
}
}  // namespace

Texts texts(const std::string& alignKey, const std::string& undoKey, bool trayShown) {
    Texts t;
    t.title = T("Seamwright 사용법", "How to Use Seamwright");
    t.heading = T("클릭 두 번이면 모니터 배치가 맞춰져요", "Two clicks and your monitors line up");
    t.steps = {
        stepOne(alignKey, trayShown),
        T("지금 화면에서 다른 화면으로 넘어가고 싶은 자리를 가장자리 근처에서 클릭해요.",
          "On this screen, click near the edge where you want to cross to the other screen."),
        T("다른 화면으로 포인터를 옮겨서, 들어오고 싶은 자리를 클릭해요.",
          "Move the pointer to the other screen and click where you want to come in."),
        T("확인을 누르면 두 점이 맞닿게 정렬돼요.",
          "Click Connect, and the two points are joined."),
    };
    const std::string align = T("정렬 ", "Align ") + alignKey;
    const std::string undo = T("되돌리기 ", "Undo ") + undoKey;
    t.keys = align + "   ·   " + undo;
    t.keysStacked = align + "\n" + undo;
    t.changeShortcuts = T("단축키 바꾸기…", "Change Shortcuts…");
    t.tryNow = T("지금 해 보기", "Try It Now");
    t.close = T("닫기", "Close");
    return t;
}

Rect topDown(const Rect& r, double parentHeight) {
    return {r.x, parentHeight - r.y - r.height, r.width, r.height};
}

double stepY(int n) {
    return 262 - 50.0 * (n - 1);
}

bool showOnFirstRun(SettingsStore& standard, Scheduler& scheduler, std::function<void()> show) {
    if (standard.boolean("didShowGuide").value_or(false)) return false;
    standard.set("didShowGuide", true);
    scheduler.after(0.6, std::move(show));
    return true;
}

}  // namespace seam::guide_view
