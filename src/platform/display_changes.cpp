#include "platform/display_changes.h"

#include <algorithm>

namespace seam {

namespace {
const DisplayState* find(const DisplaySnapshot& s, std::uint32_t id) {
    for (const DisplayState& d : s.displays)
        if (d.id == id) return &d;
    return nullptr;
}

std::uint32_t flagsOf(const DisplayState* was, const DisplayState& now, bool wasMain, bool isMain) {
    using namespace changeFlag;
    std::uint32_t f = 0;
    if (!was) f |= add;
    const bool wasActive = was && was->active;
    if (now.active && !wasActive) f |= enabled;
    if (!now.active && wasActive) f |= disabled;
    const bool wasMirror = was && was->mirrorOf;
    if (now.mirrorOf && !wasMirror) f |= mirror;
    if (!now.mirrorOf && wasMirror) f |= unmirror;
    if (now.active && wasActive) {
        if (now.frame.origin() != was->frame.origin()) f |= moved;
        if (now.frame.width != was->frame.width || now.frame.height != was->frame.height)
            f |= setMode;
    }
    if (wasMain != isMain) f |= setMain;
    // An EDID that could not be read says nothing about which monitor it is.
    if (was && !was->edid.empty() && !now.edid.empty() && was->edid != now.edid) {
        f |= remove | add;
        if (wasActive) f |= disabled;
        if (now.active) f |= enabled;
    }
    return f;
}
}  // namespace

DisplaySnapshot takeSnapshot(DisplayServices& services) {
    DisplaySnapshot s;
    const std::vector<Disp> active = services.activeDisplays();
    for (std::uint32_t id : services.onlineDisplays()) {
        DisplayState d{.id = id};
        auto it =
            std::find_if(active.begin(), active.end(), [id](const Disp& a) { return a.id == id; });
        if (it != active.end()) {
            d.active = true;
            d.frame = it->f;
            d.mirrorOf = services.mirrors(id);
        }
        s.displays.push_back(d);
    }
    // Active displays the server does not list as online still count.
    for (const Disp& a : active)
        if (!find(s, a.id)) s.displays.push_back({a.id, true, a.f, services.mirrors(a.id)});
    s.main = services.mainDisplay();
    return s;
}

std::vector<DisplayChange> diffSnapshots(const DisplaySnapshot& before,
                                         const DisplaySnapshot& after) {
    std::vector<DisplayChange> out;
    for (const DisplayState& now : after.displays) {
        const std::uint32_t f =
            flagsOf(find(before, now.id), now, before.main == now.id, after.main == now.id);
        if (f) out.push_back({now.id, f});
    }
    for (const DisplayState& was : before.displays) {
        if (find(after, was.id)) continue;
        std::uint32_t f = changeFlag::remove;
        if (was.active) f |= changeFlag::disabled;
        out.push_back({was.id, f});
    }
    return out;
}

}  // namespace seam
