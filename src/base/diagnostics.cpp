#include "base/diagnostics.h"

#include <cmath>
#include <optional>

#include "base/format.h"

namespace seam {

namespace {
std::optional<Disp> findDisp(const std::vector<Disp>& list, std::uint32_t id) {
    for (const Disp& d : list)
        if (d.id == id) return d;
    return std::nullopt;
}
std::string boolText(bool b) {
    return b ? "true" : "false";
}
}  // namespace

JobResult moveTest(Arrangement& arrangement, const std::function<void(double)>& wait) {
    const std::vector<Disp> before = arrangement.displays();
    const std::uint32_t mainId = arrangement.mainDisplay();
    std::optional<Disp> other;
    for (const Disp& d : before)
        if (d.id != mainId) {
            other = d;
            break;
        }
    if (!other) return {{"no external"}, 2};

    const Point from = other->f.origin();
    const bool moved = arrangement.setOrigin(other->id, {from.x + 40, from.y});
    wait(0.4);
    const auto afterMove = findDisp(arrangement.displays(), other->id);
    const Point to = afterMove ? afterMove->f.origin() : Point{};
    const bool restored = arrangement.setOrigin(other->id, from);
    wait(0.4);
    const auto afterRestore = findDisp(arrangement.displays(), other->id);
    const Point now = afterRestore ? afterRestore->f.origin() : Point{};

    std::string line = "move ok=" + boolText(moved) + " from=" + formatPoint(from) +
                       " to=" + formatPoint(to) + " restore ok=" + boolText(restored) +
                       " now=" + formatPoint(now);
    return {{line}, afterMove && to.x == from.x + 40 ? 0 : 1};
}

std::vector<Check> selfChecks() {
    const Rect rf{0, 0, 1710, 1112};
    const Rect of{-143, -960, 1280, 960};
    std::vector<Check> out;
    auto add = [&](std::string name, bool pass) { out.push_back({std::move(name), pass}); };
    auto near = [](double a, double b, double tol) { return std::abs(a - b) <= tol; };

    struct Case {
        Side side;
        double pos, fraction;
    };
    const Case cases[] = {{Side::top, 855, 0.50},  {Side::top, 596, 0.65},
                          {Side::top, 201, 0.88},  {Side::top, 0, 0.77},
                          {Side::top, 1562, 0.12}, {Side::bottom, 513, 0.70},
                          {Side::left, 556, 0.50}, {Side::right, 334, 0.70}};
    for (const Case& c : cases) {
        const Point o = computeOrigin(c.side, c.pos, rf, of);
        const double along =
            horizontal(c.side) ? (c.pos - o.x) / of.width : (c.pos - o.y) / of.height;
        add("computeOrigin " + std::string(rawValue(c.side)) + " " + formatNumber(c.pos),
            near(along, c.fraction, 0.01));
    }
    add("computeOrigin ignores where the display is",
        computeOrigin(Side::top, 300, rf, of) ==
            computeOrigin(Side::top, 300, rf, Rect{900, -960, 1280, 960}));
    add("connectOrigin top", connectOrigin(Side::top, 100, 1037, rf, of) == Point{-1080, -960});
    add("connectOrigin right", connectOrigin(Side::right, 10, 20, rf, of).x == 1710);
    add("alignShift", alignShift(-60, false) == 60 && alignShift(60, true) == 60);
    add("nearestEdge", nearestEdge(rf, {120, 30}) == Side::top &&
                           nearestEdge(rf, {5, 600}) == Side::left &&
                           nearestEdge({0, 0, 100, 100}, {50, 50}) == Side::left);
    add("sideOf tolerance",
        !sideOf(rf, {0, -962, 100, 960}) && sideOf(rf, {0, -961.9, 100, 960}) == Side::top);
    add("atEdge right",
        atEdge(rf, {1707.5, 10}, Side::right) && !atEdge(rf, {1707.4, 10}, Side::right));
    {
        const auto corner = sharedSpan(Side::top, rf, {1710, -960, 1280, 960});
        const auto gap = sharedSpan(Side::top, rf, {1800, -960, 1280, 960});
        add("sharedSpan", corner.first == corner.second && gap.second < gap.first);
    }
    add("median", median({3, 1, 2}) == 2 && median({4, 1, 3, 2}) == 2.5);
    add("positionWord",
        positionWord(0.12, true) == "왼쪽" && positionWord(0.88, false) == "아래쪽 끝");
    {
        const auto a = roundedMove({1, {100.5, -0.5}});
        const auto b = roundedMove({1, {-100.5, 0.4}});
        add("origin rounding", a && a->x == 101 && a->y == -1 && b && b->x == -101 && b->y == 0);
    }
    return out;
}

JobResult selfTest() {
    JobResult r;
    int failed = 0;
    for (const Check& c : selfChecks()) {
        r.lines.push_back((c.pass ? "pass " : "FAIL ") + c.name);
        if (!c.pass) ++failed;
    }
    r.lines.push_back(failed == 0 ? "ALL PASS" : std::to_string(failed) + " FAILED");
    r.exitCode = failed == 0 ? 0 : 1;
    return r;
}

}  // namespace seam
