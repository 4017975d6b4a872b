#include "platform/wlroots/wlr_layout.h"

namespace seam {

namespace {
const WlrShownOutput* shownNamed(const std::vector<WlrShownOutput>& shown,
                                 const std::string& name) {
    for (const WlrShownOutput& s : shown)
        if (s.name == name) return &s;
    return nullptr;
}
}  // namespace

WlrLayout layoutOf(const std::vector<WlrHead>& heads, const std::vector<WlrShownOutput>& shown) {
    return mapLayout(
        heads, {.shownWhileDisabled = [&](const WlrHead& h) -> std::optional<Rect> {
            const WlrShownOutput* s = shownNamed(shown, h.name);
            if (!s || s->width <= 0 || s->height <= 0) return std::nullopt;
            return Rect{double(s->x), double(s->y), double(s->width), double(s->height)};
        }});
}

std::optional<std::vector<WlrHeadSetting>> planConfiguration(
    const std::vector<WlrHead>& heads, const std::vector<WlrShownOutput>& shown,
    const std::vector<DisplayMove>& moves) {
    const WlrLayout layout = layoutOf(heads, shown);
    const auto places = layout.placesAfter(moves);
    if (!places) return std::nullopt;
    std::vector<WlrHeadSetting> out;
    for (const WlrHead& h : heads) {
        WlrHeadSetting s{.headKey = h.key};
        for (const HeadPlace& p : *places) {
            if (p.headKey != h.key) continue;
            s.enabled = true;
            s.x = p.x;
            s.y = p.y;
            if (!layout.displayOfHead(h.key)->shownOnly) {
                s.mode = h.currentMode;
                s.transform = h.transform;
                s.scale = h.scale;
            } else if (const WlrShownOutput* o = shownNamed(shown, h.name)) {
                s.customSize = {o->modeWidth, o->modeHeight};
                s.customRefresh = o->refresh;
                s.transform = o->transform;
                // The logical size is the mode's divided by the scale.
                const int across = o->transform % 2 == 1 ? o->modeHeight : o->modeWidth;
                if (o->width > 0 && across > 0) s.scale = double(across) / o->width;
            }
        }
        out.push_back(s);
    }
    return out;
}

}  // namespace seam
