#include "platform/wayland/output_layout.h"

#include <algorithm>
#include <cmath>

namespace seam {

namespace {
std::uint32_t fnv1a(std::uint32_t h, const std::string& text) {
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

Rect shifted(const Rect& r, const Point& origin) {
    return {r.x - origin.x, r.y - origin.y, r.width, r.height};
}
}  // namespace

std::uint32_t displayIdOf(const OutputHead& head) {
    std::uint32_t h = 2166136261u;
    for (const std::string* part : {&head.name, &head.make, &head.model, &head.serial})
        h = fnv1a(fnv1a(h, *part), std::string(1, '\0'));
    return h == 0 ? 1 : h;
}

std::pair<int, int> logicalSize(int modeWidth, int modeHeight, int transform, double scale,
                                SizeRounding rounding) {
    if (transform % 2 == 1) std::swap(modeWidth, modeHeight);
    if (!(scale > 0)) scale = 1;
    if (rounding == SizeRounding::nearest)
        return {int(std::lround(modeWidth / scale)), int(std::lround(modeHeight / scale))};
    return {int(modeWidth / scale), int(modeHeight / scale)};
}

const OutputDisplay* OutputLayout::display(std::uint32_t id) const {
    for (const OutputDisplay& d : displays)
        if (d.id == id) return &d;
    return nullptr;
}

const OutputDisplay* OutputLayout::displayOfHead(std::uint32_t headKey) const {
    for (const OutputDisplay& d : displays)
        if (d.headKey == headKey) return &d;
    return nullptr;
}

std::vector<Disp> OutputLayout::active() const {
    std::vector<Disp> out;
    for (const OutputDisplay& d : displays)
        if (d.active) out.push_back({d.id, shifted(d.layout, origin)});
    return out;
}

std::vector<std::uint32_t> OutputLayout::online() const {
    std::vector<std::uint32_t> out;
    for (const OutputDisplay& d : displays) out.push_back(d.id);
    return out;
}

std::optional<std::uint32_t> OutputLayout::mirrorOf(std::uint32_t id) const {
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

DisplaySnapshot OutputLayout::snapshot() const {
    DisplaySnapshot s{.main = main};
    for (const OutputDisplay& d : displays) {
        DisplayState state{.id = d.id, .active = d.active, .edid = d.edid};
        if (d.active) {
            state.frame = shifted(d.layout, origin);
            state.mirrorOf = mirrorOf(d.id);
        }
        s.displays.push_back(state);
    }
    return s;
}

std::optional<std::vector<HeadPlace>> OutputLayout::placesAfter(
    const std::vector<DisplayMove>& moves) const {
    for (const DisplayMove& m : moves) {
        const OutputDisplay* d = display(m.id);
        if (!d || !d->active) return std::nullopt;
    }
    std::vector<HeadPlace> out;
    for (const OutputDisplay& d : displays) {
        if (!d.active) continue;
        HeadPlace p{d.headKey, int(d.layout.x), int(d.layout.y)};
        for (const DisplayMove& m : moves)
            if (m.id == d.id) p = {d.headKey, m.x + int(origin.x), m.y + int(origin.y)};
        out.push_back(p);
    }
    return out;
}

OutputLayout mapLayout(const std::vector<OutputHead>& heads, const LayoutRules& rules) {
    // By name, so every process lists them alike whatever order they came in.
    std::vector<const OutputHead*> byName;
    for (const OutputHead& h : heads) byName.push_back(&h);
    std::stable_sort(byName.begin(), byName.end(),
                     [](const OutputHead* a, const OutputHead* b) { return a->name < b->name; });
    OutputLayout out;
    for (const OutputHead* h : byName) {
        OutputDisplay d{.id = displayIdOf(*h), .headKey = h->key, .name = h->name, .edid = h->edid};
        // Two heads with one number: the later one moves on to the next free number.
        while (out.display(d.id) || d.id == 0) ++d.id;
        const OutputMode* m = h->enabled && h->currentMode ? h->mode(*h->currentMode) : nullptr;
        if (m && m->width > 0 && m->height > 0) {
            const auto [w, hh] =
                logicalSize(m->width, m->height, h->transform, h->scale, rules.rounding);
            d.active = true;
            d.layout = {double(h->x), double(h->y), double(w), double(hh)};
        } else if (auto shown = !h->enabled && rules.shownWhileDisabled
                                    ? rules.shownWhileDisabled(*h)
                                    : std::nullopt) {
            d.active = true;
            d.shownOnly = true;
            d.layout = *shown;
        }
        out.displays.push_back(std::move(d));
    }
    const OutputDisplay* main = nullptr;
    for (const OutputDisplay& d : out.displays)
        if (d.active && !rules.primary.empty() && d.name == rules.primary) main = &d;
    for (std::size_t i = 0; !main && i < out.displays.size(); ++i)
        if (out.displays[i].active && out.displays[i].layout.origin() == Point{0, 0})
            main = &out.displays[i];
    for (std::size_t i = 0; !main && i < out.displays.size(); ++i)
        if (out.displays[i].active) main = &out.displays[i];
    if (main) {
        out.main = main->id;
        out.origin = main->layout.origin();
    }
    return out;
}

}  // namespace seam
