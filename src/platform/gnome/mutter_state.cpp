#include "platform/gnome/mutter_state.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace seam {

const MutterMode* MutterMonitor::currentMode() const {
    for (const MutterMode& m : modes)
        if (m.current) return &m;
    return nullptr;
}

std::uint32_t ConnectorIds::idFor(const std::string& connector) {
    if (auto it = ids_.find(connector); it != ids_.end()) return it->second;
    // FNV-1a: the same name gives the same id in every process of the session.
    std::uint32_t h = 2166136261u;
    for (unsigned char c : connector) h = (h ^ c) * 16777619u;
    h &= 0x7FFFFFFFu;
    auto taken = [this](std::uint32_t id) {
        return std::any_of(ids_.begin(), ids_.end(),
                           [id](const auto& e) { return e.second == id; });
    };
    while (h == 0 || taken(h)) h = (h + 1) & 0x7FFFFFFFu;
    ids_.emplace(connector, h);
    return h;
}

std::optional<std::string> ConnectorIds::connectorOf(std::uint32_t id) const {
    for (const auto& [name, value] : ids_)
        if (value == id) return name;
    return std::nullopt;
}

const MutterDisplay* MutterLayout::find(std::uint32_t id) const {
    for (const MutterDisplay& d : displays)
        if (d.id == id) return &d;
    return nullptr;
}

namespace {
const MutterMonitor* monitorOn(const MutterState& state, const std::string& connector) {
    for (const MutterMonitor& m : state.monitors)
        if (m.connector == connector) return &m;
    return nullptr;
}

// The logical monitor the main display belongs to: the primary one, else the first.
const MutterLogicalMonitor* mainLogical(const MutterState& state) {
    for (const MutterLogicalMonitor& lm : state.logical)
        if (lm.primary) return &lm;
    return state.logical.empty() ? nullptr : &state.logical.front();
}

bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.maxX() && b.x < a.maxX() && a.y < b.maxY() && b.y < a.maxY();
}

// Whether every rectangle can be reached from the first through shared edges.
bool hangTogether(const std::vector<Rect>& rects) {
    if (rects.empty()) return true;
    std::vector<bool> reached(rects.size(), false);
    std::vector<size_t> todo{0};
    reached[0] = true;
    while (!todo.empty()) {
        const size_t i = todo.back();
        todo.pop_back();
        for (size_t j = 0; j < rects.size(); ++j)
            if (!reached[j] && adjacent(rects[i], rects[j])) reached[j] = true, todo.push_back(j);
    }
    return std::all_of(reached.begin(), reached.end(), [](bool r) { return r; });
}
}  // namespace

bool adjacent(const Rect& a, const Rect& b) {
    const bool sideBySide =
        (a.maxX() == b.x || b.maxX() == a.x) && a.y < b.maxY() && b.y < a.maxY();
    const bool stacked = (a.maxY() == b.y || b.maxY() == a.y) && a.x < b.maxX() && b.x < a.maxX();
    return sideBySide || stacked;
}

std::optional<Rect> logicalRect(const MutterState& state, const MutterLogicalMonitor& lm) {
    if (lm.connectors.empty()) return std::nullopt;
    const MutterMonitor* m = monitorOn(state, lm.connectors.front());
    const MutterMode* mode = m ? m->currentMode() : nullptr;
    if (!mode) return std::nullopt;
    double w = mode->width, h = mode->height;
    if (lm.transform % 2 == 1) std::swap(w, h);  // turned a quarter
    if (state.layoutMode == kLayoutLogical && lm.scale > 0) {
        w = double(std::lround(w / lm.scale));
        h = double(std::lround(h / lm.scale));
    }
    return Rect{double(lm.x), double(lm.y), w, h};
}

MutterLayout layoutOf(const MutterState& state, ConnectorIds& ids) {
    MutterLayout out;
    if (const MutterLogicalMonitor* main = mainLogical(state))
        out.origin = {double(main->x), double(main->y)};
    for (const MutterMonitor& m : state.monitors)
        out.displays.push_back({.id = ids.idFor(m.connector),
                                .connector = m.connector,
                                .builtin = m.builtin,
                                .monitor = &m});
    for (const MutterLogicalMonitor& lm : state.logical) {
        const auto r = logicalRect(state, lm);
        if (!r) continue;
        std::optional<std::uint32_t> first;
        for (const std::string& c : lm.connectors) {
            auto it = std::find_if(out.displays.begin(), out.displays.end(),
                                   [&](const MutterDisplay& d) { return d.connector == c; });
            if (it == out.displays.end()) continue;
            it->active = true;
            it->frame = {r->x - out.origin.x, r->y - out.origin.y, r->width, r->height};
            it->mirrorOf = first;
            if (!first) first = it->id;
        }
        if (&lm == mainLogical(state) && first) out.main = *first;
    }
    return out;
}

std::vector<Disp> MutterLayout::active() const {
    std::vector<Disp> out;
    for (const MutterDisplay& d : displays)
        if (d.active) out.push_back({d.id, d.frame});
    return out;
}

DisplaySnapshot snapshotOf(const MutterLayout& layout) {
    DisplaySnapshot s{.main = layout.main};
    for (const MutterDisplay& d : layout.displays) {
        DisplayState st{.id = d.id, .active = d.active};
        if (d.active) st.frame = d.frame, st.mirrorOf = d.mirrorOf;
        s.displays.push_back(st);
    }
    return s;
}

ApplyPlan planApply(const MutterState& state, ConnectorIds& ids,
                    const std::vector<DisplayMove>& moves) {
    for (const MutterMonitor& m : state.monitors) ids.idFor(m.connector);
    const MutterLogicalMonitor* main = mainLogical(state);
    if (!main) return ApplyRefused{"no display shows the desktop"};
    const Point origin{double(main->x), double(main->y)};

    // Global rectangles of the logical monitors, before and after.
    std::vector<Rect> was, now;
    for (const MutterLogicalMonitor& lm : state.logical) {
        const auto r = logicalRect(state, lm);
        if (!r) return ApplyRefused{"a display has no current mode"};
        was.push_back({r->x - origin.x, r->y - origin.y, r->width, r->height});
    }
    now = was;
    std::optional<size_t> atZero;
    for (const DisplayMove& m : moves) {
        const auto connector = ids.connectorOf(m.id);
        std::optional<size_t> index;
        for (size_t i = 0; i < state.logical.size() && connector && !index; ++i) {
            const auto& cs = state.logical[i].connectors;
            if (std::find(cs.begin(), cs.end(), *connector) != cs.end()) index = i;
        }
        if (!index) return ApplyRefused{"display " + std::to_string(m.id) + " is not active"};
        now[*index].x = m.x;  // a mirror set moves as one
        now[*index].y = m.y;
        if (m.x == 0 && m.y == 0) atZero = index;
    }

    for (size_t i = 0; i < now.size(); ++i)
        for (size_t j = i + 1; j < now.size(); ++j)
            if (overlap(now[i], now[j])) return ApplyRefused{"the displays would overlap"};
    if (!hangTogether(now)) return ApplyRefused{"the displays would not touch one another"};

    // The compositor takes no negative positions: shift the whole arrangement.
    double minX = INT_MAX, minY = INT_MAX;
    for (const Rect& r : now) minX = std::min(minX, r.x), minY = std::min(minY, r.y);

    const size_t mainIndex = size_t(main - state.logical.data());
    const size_t primary = atZero.value_or(mainIndex);
    MutterApply apply{.serial = state.serial, .method = kMethodPersistent};
    if (state.supportsChangingLayoutMode) apply.layoutMode = state.layoutMode;
    bool changed = primary != mainIndex || !main->primary;
    for (size_t i = 0; i < state.logical.size(); ++i) {
        const MutterLogicalMonitor& lm = state.logical[i];
        ApplyLogicalMonitor out{.x = int(now[i].x - minX),
                                .y = int(now[i].y - minY),
                                .scale = lm.scale,
                                .transform = lm.transform,
                                .primary = i == primary};
        changed = changed || out.x != lm.x || out.y != lm.y;
        for (const std::string& c : lm.connectors) {
            const MutterMonitor* m = monitorOn(state, c);
            const MutterMode* mode = m ? m->currentMode() : nullptr;
            if (!mode) return ApplyRefused{"display " + c + " has no current mode"};
            out.monitors.push_back({c, mode->id});
        }
        apply.logical.push_back(std::move(out));
    }
    if (!changed) return NothingToApply{};
    return apply;
}

}  // namespace seam
