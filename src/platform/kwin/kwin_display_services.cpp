#include "platform/kwin/kwin_display_services.h"

#include "base/log.h"
#include "platform/drm_connectors.h"

namespace seam {

KwinLayout KwinDisplayServices::layout() {
    state_.refresh();
    return layoutOf(state_.outputs(), state_.primary());
}

std::vector<Disp> KwinDisplayServices::activeDisplays() {
    return layout().active();
}

std::vector<std::uint32_t> KwinDisplayServices::onlineDisplays() {
    return layout().online();
}

std::uint32_t KwinDisplayServices::mainDisplay() {
    return layout().main;
}

bool KwinDisplayServices::isBuiltin(std::uint32_t id) {
    const KwinLayout l = layout();
    const KwinDisplay* d = l.display(id);
    return d && isBuiltinConnector(d->name);
}

std::optional<std::uint32_t> KwinDisplayServices::mirrors(std::uint32_t id) {
    return layout().mirrorOf(id);
}

bool KwinDisplayServices::configure(const std::vector<DisplayMove>& moves) {
    if (moves.empty()) return true;
    state_.refresh();
    const auto plan = planPlacements(state_.outputs(), state_.primary(), moves);
    if (!plan) {
        log("configure refused: a move names a display the compositor does not show");
        return false;
    }
    const KwinApplyOutcome outcome = state_.apply(*plan);
    if (outcome == KwinApplyOutcome::applied) return true;
    log(std::string("configure ") + outcomeText(outcome) + ": the compositor " +
        (outcome == KwinApplyOutcome::failed ? "refused the configuration" : "did not answer"));
    return false;
}

Rect KwinDisplayServices::toToolkit(const Rect& global) {
    // Qt on Wayland places windows in the compositor's logical layout.
    const Point o = layout().origin;
    return {global.x + o.x, global.y + o.y, global.width, global.height};
}

std::optional<std::string> KwinDisplayServices::outputName(std::uint32_t id) {
    const KwinLayout l = layout();
    const KwinDisplay* d = l.display(id);
    return d ? std::optional(d->name) : std::nullopt;
}

}  // namespace seam
