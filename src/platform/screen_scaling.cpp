#include "platform/screen_scaling.h"

#include <algorithm>
#include <cmath>

namespace seam {

namespace {
double overlap(const Rect& a, const Rect& b) {
    const double w = std::min(a.maxX(), b.maxX()) - std::max(a.x, b.x);
    const double h = std::min(a.maxY(), b.maxY()) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

// The fewest whole units that cover pixels: the toolkit rounds units times the
// ratio to the nearest pixel, so 853 units at 1.5 cover 1280 pixels.
double unitsCovering(double pixels, double ratio) {
    const double units = std::ceil(pixels / ratio - 1e-6);
    return units >= 1 && std::floor((units - 1) * ratio + 0.5) >= pixels ? units - 1 : units;
}

// Root pixels per logical unit where the root point lies; 1 off every screen.
double ratioAt(Point root, const std::vector<ScaledScreen>& screens) {
    for (const ScaledScreen& s : screens)
        if (s.root().contains(root)) return s.ratio;
    return 1;
}
}  // namespace

Rect ScaledScreen::root() const {
    return {rootOrigin.x, rootOrigin.y, logical.width * ratio, logical.height * ratio};
}

std::optional<ScaledPlacement> placeScaled(const Rect& root,
                                           const std::vector<ScaledScreen>& screens) {
    if (screens.empty()) return std::nullopt;
    std::size_t best = 0;
    double most = 0;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const double o = overlap(root, screens[i].root());
        if (o > most) {
            most = o;
            best = i;
        }
    }
    const ScaledScreen& s = screens[best];
    const double r = s.ratio > 0 ? s.ratio : 1;
    const Rect logical{s.logical.x + std::round((root.x - s.rootOrigin.x) / r),
                       s.logical.y + std::round((root.y - s.rootOrigin.y) / r),
                       unitsCovering(root.width, r), unitsCovering(root.height, r)};
    ScaledPlacement placed{best, logical, std::nullopt};
    if (rootOf(s, logical) != root) placed.native = root;
    return placed;
}

Rect rootOf(const ScaledScreen& s, const Rect& logical) {
    // The toolkit rounds half away from zero, to the nearest pixel.
    const double r = s.ratio > 0 ? s.ratio : 1;
    const auto px = [&](double v) { return std::round(v * r); };
    return {s.rootOrigin.x + px(logical.x - s.logical.x),
            s.rootOrigin.y + px(logical.y - s.logical.y), px(logical.width), px(logical.height)};
}

double ratioOfMonitor(const Rect& monitor, const std::vector<ScaledScreen>& screens) {
    // Within a pixel: a logical size times a fractional ratio is not whole.
    const auto near = [](double a, double b) { return std::abs(a - b) <= 1; };
    const auto sameSize = [&](const Rect& r) {
        return near(r.width, monitor.width) && near(r.height, monitor.height);
    };
    for (const ScaledScreen& s : screens)
        if (sameSize(s.root()) && s.rootOrigin == monitor.origin()) return s.ratio;
    for (const ScaledScreen& s : screens)
        if (sameSize(s.root())) return s.ratio;
    return ratioAt({monitor.midX(), monitor.midY()}, screens);
}

}  // namespace seam
