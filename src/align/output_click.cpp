#include "align/output_click.h"

namespace seam {

std::optional<std::size_t> screenOfOutput(const std::optional<std::string>& output,
                                          const std::vector<std::string>& screens) {
    if (!output || output->empty()) return std::nullopt;
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        if (screens[i] != *output) continue;
        if (found) return std::nullopt;
        found = i;
    }
    return found;
}

Point clickInFrame(const Rect& frame, double width, double height, Point local) {
    // A window not yet laid out has no size; its units are then taken as the frame's.
    const double sx = width > 0 ? frame.width / width : 1.0;
    const double sy = height > 0 ? frame.height / height : 1.0;
    return {frame.x + local.x * sx, frame.y + local.y * sy};
}

}  // namespace seam
