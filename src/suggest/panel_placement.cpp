#include "suggest/panel_placement.h"

#include <algorithm>

namespace seam {

namespace {
bool meets(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}
}  // namespace

std::optional<Rect> suggestionFrame(const std::optional<Rect>& anchor,
                                    const std::vector<ScreenArea>& screens,
                                    std::optional<std::size_t> mainIndex) {
    if (screens.empty()) return std::nullopt;
    const ScreenArea* screen = nullptr;
    if (anchor)
        for (const ScreenArea& s : screens)
            if (meets(s.frame, *anchor)) {
                screen = &s;
                break;
            }
    if (!screen)
        screen = mainIndex && *mainIndex < screens.size() ? &screens[*mainIndex] : &screens.front();
    const Rect& vf = screen->visible;
    const double w = kSuggestionWidth, h = kSuggestionHeight;
    double x = anchor ? anchor->x + anchor->width / 2 - w / 2 : vf.x + vf.width - 12 - w;
    x = std::max(x, vf.x + 8);
    x = std::min(x, vf.x + vf.width - w - 8);
    double y = (anchor ? std::max(anchor->y + anchor->height, vf.y) : vf.y) + 6;
    // A tray at the bottom of the screen: open upwards instead of off the screen.
    if (anchor && y + h > vf.y + vf.height) y = std::min(anchor->y, vf.y + vf.height) - 6 - h;
    return Rect{x, y, w, h};
}

}  // namespace seam
