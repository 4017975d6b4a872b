#include "platform/wlroots/wlroots_display_services.h"

#include "base/log.h"
#include "platform/drm_connectors.h"

namespace seam {

WlrLayout WlrootsDisplayServices::layout() {
    state_.refresh();
    return layoutOf(state_.heads(), state_.shown());
}

std::vector<Disp> WlrootsDisplayServices::activeDisplays() {
    return layout().active();
}

std::vector<std::uint32_t> WlrootsDisplayServices::onlineDisplays() {
    return layout().online();
}

std::uint32_t WlrootsDisplayServices::mainDisplay() {
    return layout().main;
}

bool WlrootsDisplayServices::isBuiltin(std::uint32_t id) {
    const WlrLayout l = layout();
    const WlrDisplay* d = l.display(id);
    return d && isBuiltinConnector(d->name);
}

std::optional<std::uint32_t> WlrootsDisplayServices::mirrors(std::uint32_t id) {
    return layout().mirrorOf(id);
}

bool WlrootsDisplayServices::configure(const std::vector<DisplayMove>& moves) {
    if (moves.empty()) return true;
    auto report = [](const char* step, WlrApplyOutcome outcome) {
        log(std::string("configure ") + step + " " + outcomeText(outcome) + ": the compositor " +
            (outcome == WlrApplyOutcome::failed      ? "refused the configuration"
             : outcome == WlrApplyOutcome::cancelled ? "changed its outputs meanwhile"
                                                     : "did not answer"));
    };
    // A configuration made against an older state is cancelled by the
    // compositor; the moves are planned once more against the new one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        state_.refresh();
        const auto before = planConfiguration(state_.heads(), state_.shown(), {});
        const auto plan = planConfiguration(state_.heads(), state_.shown(), moves);
        if (!plan || !before) {
            log("configure refused: a move names a display the compositor does not show");
            return false;
        }
        // Compositors may apply head by head: asking first keeps a refusal from
        // leaving half of the moves done.
        WlrApplyOutcome outcome = state_.apply(*plan, true);
        if (outcome == WlrApplyOutcome::succeeded) {
            outcome = state_.apply(*plan);
            if (outcome == WlrApplyOutcome::succeeded) return true;
            report("apply", outcome);
            // Whatever part was applied goes back.
            if (outcome == WlrApplyOutcome::failed) state_.apply(*before);
        } else {
            report("test", outcome);
        }
        if (outcome != WlrApplyOutcome::cancelled) return false;
    }
    return false;
}

Rect WlrootsDisplayServices::toToolkit(const Rect& global) {
    // Qt on Wayland places windows in the compositor's logical layout.
    const Point o = layout().origin;
    return {global.x + o.x, global.y + o.y, global.width, global.height};
}

std::optional<std::string> WlrootsDisplayServices::outputName(std::uint32_t id) {
    const WlrLayout l = layout();
    const WlrDisplay* d = l.display(id);
    return d ? std::optional(d->name) : std::nullopt;
}

}  // namespace seam
