#include "platform/kwin/kwin_layout.h"

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

// The same number for the same monitor on the same connector in every process.
std::uint32_t displayIdOf(const KwinOutput& o) {
    std::uint32_t h = 2166136261u;
    for (const std::string* part : {&o.name, &o.make, &o.model, &o.serial})
        h = fnv1a(fnv1a(h, *part), std::string(1, '\0'));
    return h == 0 ? 1 : h;
}

std::optional<Rect> outputRect(const KwinOutput& o) {
    if (!o.enabled || !o.currentMode) return std::nullopt;
    const KwinMode* m = o.mode(*o.currentMode);
    if (!m || m->width <= 0 || m->height <= 0) return std::nullopt;
    const auto [w, h] = kwinLogicalSize(m->width, m->height, o.transform, o.scale);
    return Rect{double(o.x), double(o.y), double(w), double(h)};
}
}  // namespace

std::pair<int, int> kwinLogicalSize(int modeWidth, int modeHeight, int transform, double scale) {
    if (transform % 2 == 1) std::swap(modeWidth, modeHeight);
    if (!(scale > 0)) scale = 1;
    return {int(std::lround(modeWidth / scale)), int(std::lround(modeHeight / scale))};
}

const KwinDisplay* KwinLayout::display(std::uint32_t id) const {
    for (const KwinDisplay& d : displays)
        if (d.id == id) return &d;
    return nullptr;
}

const KwinDisplay* KwinLayout::displayOfOutput(std::uint32_t outputKey) const {
    for (const KwinDisplay& d : displays)
        if (d.outputKey == outputKey) return &d;
    return nullptr;
}

std::vector<Disp> KwinLayout::active() const {
    std::vector<Disp> out;
    for (const KwinDisplay& d : displays)
        if (d.active)
            out.push_back(
                {d.id,
                 {d.layout.x - origin.x, d.layout.y - origin.y, d.layout.width, d.layout.height}});
    return out;
}

std::vector<std::uint32_t> KwinLayout::online() const {
    std::vector<std::uint32_t> out;
    for (const KwinDisplay& d : displays) out.push_back(d.id);
    return out;
}

std::optional<std::uint32_t> KwinLayout::mirrorOf(std::uint32_t id) const {
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

DisplaySnapshot KwinLayout::snapshot() const {
    DisplaySnapshot s{.main = main};
    for (const KwinDisplay& d : displays) {
        DisplayState state{.id = d.id, .active = d.active, .edid = d.edid};
        if (d.active) {
            state.frame = {d.layout.x - origin.x, d.layout.y - origin.y, d.layout.width,
                           d.layout.height};
            state.mirrorOf = mirrorOf(d.id);
        }
        s.displays.push_back(state);
    }
    return s;
}

KwinLayout layoutOf(const std::vector<KwinOutput>& outputs, const std::string& primary) {
    // By name, so every process lists them alike whatever order they came in.
    std::vector<const KwinOutput*> byName;
    for (const KwinOutput& o : outputs) byName.push_back(&o);
    std::stable_sort(byName.begin(), byName.end(),
                     [](const KwinOutput* a, const KwinOutput* b) { return a->name < b->name; });
    KwinLayout out;
    for (const KwinOutput* o : byName) {
        KwinDisplay d{.id = displayIdOf(*o), .outputKey = o->key, .name = o->name, .edid = o->edid};
        // Two outputs with one number: the later one moves on to the next free number.
        while (out.display(d.id) || d.id == 0) ++d.id;
        if (auto r = outputRect(*o)) {
            d.active = true;
            d.layout = *r;
        }
        out.displays.push_back(std::move(d));
    }
    const KwinDisplay* main = nullptr;
    for (const KwinDisplay& d : out.displays)
        if (d.active && !primary.empty() && d.name == primary) main = &d;
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

std::optional<std::vector<KwinPlacement>> planPlacements(const std::vector<KwinOutput>& outputs,
                                                         const std::string& primary,
                                                         const std::vector<DisplayMove>& moves) {
    const KwinLayout layout = layoutOf(outputs, primary);
    for (const DisplayMove& m : moves) {
        const KwinDisplay* d = layout.display(m.id);
        if (!d || !d->active) return std::nullopt;
    }
    std::vector<KwinPlacement> out;
    for (const KwinOutput& o : outputs) {
        const KwinDisplay* d = layout.displayOfOutput(o.key);
        if (!d || !d->active) continue;
        KwinPlacement p{o.key, int(d->layout.x), int(d->layout.y)};
        // A later move of the same display wins.
        for (const DisplayMove& m : moves)
            if (m.id == d->id) p = {o.key, m.x + int(layout.origin.x), m.y + int(layout.origin.y)};
        out.push_back(p);
    }
    if (out.empty()) return out;
    const auto anchor = std::min_element(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return std::pair(a.x, a.y) < std::pair(b.x, b.y);
    });
    const int dx = anchor->x, dy = anchor->y;
    for (KwinPlacement& p : out) {
        p.x -= dx;
        p.y -= dy;
    }
    return out;
}

}  // namespace seam
