#include "platform/kwin/kwin_layout.h"

#include <algorithm>

namespace seam {

KwinLayout layoutOf(const std::vector<KwinOutput>& outputs, const std::string& primary) {
    return mapLayout(outputs, {.rounding = SizeRounding::nearest, .primary = primary});
}

std::optional<std::vector<KwinPlacement>> planPlacements(const std::vector<KwinOutput>& outputs,
                                                         const std::string& primary,
                                                         const std::vector<DisplayMove>& moves) {
    const auto places = layoutOf(outputs, primary).placesAfter(moves);
    if (!places) return std::nullopt;
    std::vector<KwinPlacement> out;
    for (const KwinOutput& o : outputs)
        for (const HeadPlace& p : *places)
            if (p.headKey == o.key) out.push_back({o.key, p.x, p.y});
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
