#include "layouts/layout_plan.h"

#include <cmath>
#include <cstdio>
#include <random>

#include "base/log.h"

namespace seam {

namespace {
constexpr size_t kMaxDisplays = 10;
constexpr double kMatchTolerance = 2.0;

struct Search {
    const std::vector<LiveDisplay>& live;
    const std::vector<SavedDisplay>& saved;
    const std::vector<Point>& rel;
    const std::vector<std::vector<bool>>& compat;
    size_t anchor;
    std::optional<size_t> liveMain;

    std::vector<int> current;
    std::vector<bool> used;
    std::vector<int> best;
    double bestCost = 0;
    int ways = 0;
    std::vector<double> dx, dy;  // reused: up to 10! pairings are scored

    double cost() {
        const size_t n = live.size();
        double mx = 0, my = 0;
        for (size_t i = 0; i < n; ++i) {
            dx[i] = live[i].frame.minX() - rel[current[i]].x;
            dy[i] = live[i].frame.minY() - rel[current[i]].y;
            mx += dx[i];
            my += dy[i];
        }
        mx /= static_cast<double>(n);
        my /= static_cast<double>(n);
        double c = 0;
        for (size_t i = 0; i < n; ++i) {
            // Screen coordinates cannot overflow a square: sqrt is hypot here, at a fraction of the
            // cost.
            const double ex = dx[i] - mx, ey = dy[i] - my;
            c += std::sqrt(ex * ex + ey * ey);
        }
        if (liveMain && static_cast<size_t>(current[*liveMain]) != anchor) c += 1.0;
        for (size_t i = 0; i < n; ++i) {
            const auto& a = live[i].uuid;
            const auto& b = saved[current[i]].uuid;
            if (a && b && *a != *b) c += 0.01;
        }
        return c;
    }

    void visit(size_t i) {
        if (i == live.size()) {
            ++ways;
            const double c = cost();
            // Ties keep the earlier pairing, so the result never depends on float noise.
            if (best.empty() || c < bestCost - 1e-9) {
                best = current;
                bestCost = c;
            }
            return;
        }
        for (size_t j = 0; j < saved.size(); ++j) {
            if (used[j] || !compat[i][j]) continue;
            used[j] = true;
            current[i] = static_cast<int>(j);
            visit(i + 1);
            used[j] = false;
        }
    }
};

size_t anchorSlot(const std::vector<SavedDisplay>& saved) {
    for (size_t j = 0; j < saved.size(); ++j) {
        if (saved[j].main) return j;
    }
    for (size_t j = 0; j < saved.size(); ++j) {
        if (saved[j].x == 0 && saved[j].y == 0) return j;
    }
    return 0;
}
}  // namespace

std::optional<LayoutPlan> planLayout(const SavedLayout& layout,
                                     const std::vector<LiveDisplay>& live, bool logAmbiguity) {
    const size_t n = live.size();
    const auto& saved = layout.displays;
    if (n == 0 || saved.size() != n || n > kMaxDisplays) return std::nullopt;

    const size_t a = anchorSlot(saved);
    std::vector<Point> rel(n);
    for (size_t j = 0; j < n; ++j) rel[j] = {saved[j].x - saved[a].x, saved[j].y - saved[a].y};

    std::vector<std::vector<bool>> compat(n, std::vector<bool>(n));
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) compat[i][j] = sameMonitor(live[i].ident, saved[j].ident);
    }
    std::optional<size_t> liveMain;
    for (size_t i = 0; i < n && !liveMain; ++i) {
        if (live[i].isMain) liveMain = i;
    }

    Search search{live, saved, rel, compat, a, liveMain};
    search.current.assign(n, 0);
    search.used.assign(n, false);
    search.dx.assign(n, 0);
    search.dy.assign(n, 0);
    search.visit(0);
    if (search.best.empty()) return std::nullopt;
    const std::vector<int>& p = search.best;

    LayoutPlan plan;
    plan.ways = search.ways;
    plan.alreadyMatches = liveMain && static_cast<size_t>(p[*liveMain]) == a;
    for (size_t i = 0; i < n && plan.alreadyMatches; ++i) {
        plan.alreadyMatches = std::fabs(live[i].frame.minX() - rel[p[i]].x) <= kMatchTolerance &&
                              std::fabs(live[i].frame.minY() - rel[p[i]].y) <= kMatchTolerance;
    }
    for (size_t i = 0; i < n; ++i) {
        plan.pairs.push_back({live[i].id, p[i]});
        if (static_cast<size_t>(p[i]) == a) plan.newMain = live[i].id;
        plan.moves.push_back({live[i].id, rel[p[i]]});
    }
    if (logAmbiguity && plan.ways >= 2) {
        std::string line = "layout \"" + layout.name + "\": identical monitors, " +
                           std::to_string(plan.ways) + " ways to match; chose least movement";
        for (const auto& pair : plan.pairs) {
            line += " id=" + std::to_string(pair.id) + "->slot" + std::to_string(pair.slot) + "(" +
                    std::to_string(truncInt(rel[pair.slot].x)) + "," +
                    std::to_string(truncInt(rel[pair.slot].y)) + ")";
        }
        log(line);
    }
    return plan;
}

std::string newLayoutId() {
    std::random_device device;
    std::mt19937_64 gen((std::uint64_t{device()} << 32) ^ device());
    std::uint64_t hi = gen(), lo = gen();
    hi = (hi & ~0xF000ULL) | 0x4000ULL;                  // version 4
    lo = (lo & ~(0xC000ULL << 48)) | (0x8000ULL << 48);  // RFC 4122 variant
    char text[37];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%04X-%012llX", static_cast<unsigned>(hi >> 32),
                  static_cast<unsigned>((hi >> 16) & 0xFFFF), static_cast<unsigned>(hi & 0xFFFF),
                  static_cast<unsigned>(lo >> 48),
                  static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFULL));
    return text;
}

SavedLayout makeLayout(const std::string& name, const std::vector<LiveDisplay>& live,
                       const SavedLayout* replacing, Date now) {
    SavedLayout out;
    out.id = replacing ? replacing->id : newLayoutId();
    out.name = name;
    for (const auto& d : live) {
        out.displays.push_back({.ident = d.ident,
                                .uuid = d.uuid,
                                .name = d.name,
                                .x = d.frame.minX(),
                                .y = d.frame.minY(),
                                .width = d.frame.width,
                                .height = d.frame.height,
                                .main = d.isMain});
    }
    out.savedAt = now;
    if (replacing) {
        out.lastApplied = replacing->lastApplied;
        out.autoApply = replacing->autoApply;
    }
    return out;
}

}  // namespace seam
