#include "platform/wlroots/wlr_layout.h"

#include <algorithm>
#include <cmath>

namespace seam {

namespace {
const WlrShownOutput* shownNamed(const std::vector<WlrShownOutput>& shown,
                                 const std::string& name) {
    for (const WlrShownOutput& s : shown)
        if (s.name == name) return &s;
    return nullptr;
}

std::uint32_t fnv1a(std::uint32_t h, const std::string& text) {
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

// Heads by name, so every process sees them in the same order whatever order
// the compositor announced them in.
std::vector<const WlrHead*> byName(const std::vector<WlrHead>& heads) {
    std::vector<const WlrHead*> out;
    for (const WlrHead& h : heads) out.push_back(&h);
    std::stable_sort(out.begin(), out.end(),
                     [](const WlrHead* a, const WlrHead* b) { return a->name < b->name; });
    return out;
}

std::optional<Rect> headRect(const WlrHead& h) {
    if (!h.enabled || !h.currentMode) return std::nullopt;
    const WlrMode* m = h.mode(*h.currentMode);
    if (!m || m->width <= 0 || m->height <= 0) return std::nullopt;
    const auto [w, hh] = logicalSize(m->width, m->height, h.transform, h.scale);
    return Rect{double(h.x), double(h.y), double(w), double(hh)};
}
}  // namespace

std::uint32_t displayIdOf(const WlrHead& head) {
    std::uint32_t h = 2166136261u;
    for (const std::string* part : {&head.name, &head.make, &head.model, &head.serial})
        h = fnv1a(fnv1a(h, *part), std::string(1, '\0'));
    return h == 0 ? 1 : h;
}

std::pair<int, int> logicalSize(int modeWidth, int modeHeight, int transform, double scale) {
    if (transform % 2 == 1) std::swap(modeWidth, modeHeight);
    if (!(scale > 0)) scale = 1;
    // wlroots truncates the scaled size.
    return {int(modeWidth / scale), int(modeHeight / scale)};
}

const WlrDisplay* WlrLayout::display(std::uint32_t id) const {
    for (const WlrDisplay& d : displays)
        if (d.id == id) return &d;
    return nullptr;
}

const WlrDisplay* WlrLayout::displayOfHead(std::uint32_t headKey) const {
    for (const WlrDisplay& d : displays)
        if (d.headKey == headKey) return &d;
    return nullptr;
}

std::vector<Disp> WlrLayout::active() const {
    std::vector<Disp> out;
    for (const WlrDisplay& d : displays)
        if (d.active)
            out.push_back(
                {d.id,
                 {d.layout.x - origin.x, d.layout.y - origin.y, d.layout.width, d.layout.height}});
    return out;
}

std::vector<std::uint32_t> WlrLayout::online() const {
    std::vector<std::uint32_t> out;
    for (const WlrDisplay& d : displays) out.push_back(d.id);
    return out;
}

std::optional<std::uint32_t> WlrLayout::mirrorOf(std::uint32_t id) const {
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (displays[i].id != id) continue;
        if (!displays[i].active) return std::nullopt;
        for (std::size_t j = 0; j < i; ++j)
            if (displays[j].active && displays[j].layout == displays[i].layout)
                return displays[j].id;
        return std::nullopt;
    }
    return std::nullopt;
}

DisplaySnapshot WlrLayout::snapshot() const {
    DisplaySnapshot s{.main = main};
    for (const WlrDisplay& d : displays) {
        DisplayState state{.id = d.id, .active = d.active};
        if (d.active) {
            state.frame = {d.layout.x - origin.x, d.layout.y - origin.y, d.layout.width,
                           d.layout.height};
            state.mirrorOf = mirrorOf(d.id);
        }
        s.displays.push_back(state);
    }
    return s;
}

WlrLayout layoutOf(const std::vector<WlrHead>& heads, const std::vector<WlrShownOutput>& shown) {
    WlrLayout out;
    for (const WlrHead* h : byName(heads)) {
        WlrDisplay d{.id = displayIdOf(*h), .headKey = h->key, .name = h->name};
        // Two heads with one number: the later one moves on to the next free number.
        while (out.display(d.id) || d.id == 0) ++d.id;
        if (auto r = headRect(*h)) {
            d.active = true;
            d.layout = *r;
        } else if (const WlrShownOutput* s = shownNamed(shown, h->name);
                   s && !h->enabled && s->width > 0 && s->height > 0) {
            d.active = true;
            d.shownOnly = true;
            d.layout = {double(s->x), double(s->y), double(s->width), double(s->height)};
        }
        out.displays.push_back(d);
    }
    const WlrDisplay* main = nullptr;
    for (const WlrDisplay& d : out.displays) {
        if (!d.active) continue;
        if (!main) main = &d;
        if (d.layout.x == 0 && d.layout.y == 0) {
            main = &d;
            break;
        }
    }
    if (main) {
        out.main = main->id;
        out.origin = main->layout.origin();
    }
    return out;
}

std::optional<std::vector<WlrHeadSetting>> planConfiguration(
    const std::vector<WlrHead>& heads, const std::vector<WlrShownOutput>& shown,
    const std::vector<DisplayMove>& moves) {
    const WlrLayout layout = layoutOf(heads, shown);
    for (const DisplayMove& m : moves) {
        const WlrDisplay* d = layout.display(m.id);
        if (!d || !d->active) return std::nullopt;
    }
    std::vector<WlrHeadSetting> out;
    for (const WlrHead& h : heads) {
        const WlrDisplay* d = layout.displayOfHead(h.key);
        WlrHeadSetting s{.headKey = h.key};
        if (d && d->active) {
            s.enabled = true;
            s.x = int(d->layout.x);
            s.y = int(d->layout.y);
            // A later move of the same display wins.
            for (const DisplayMove& m : moves) {
                if (m.id != d->id) continue;
                s.x = m.x + int(layout.origin.x);
                s.y = m.y + int(layout.origin.y);
            }
            if (!d->shownOnly) {
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
