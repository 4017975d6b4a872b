#include "suggest/suggestion_controller.h"

#include "base/log.h"
#include "suggest/suggestion_decision.h"

namespace seam {

SuggestionController::SuggestionController(LayoutStore& store, SettingsStore& settings,
                                           SuggestionView& panel)
    : store_(store), settings_(settings), panel_(panel) {}

bool SuggestionController::suggestEnabled() const {
    return settings_.boolean(suggestKey).value_or(true);
}

void SuggestionController::setSuggestEnabled(bool on) {
    settings_.set(suggestKey, SettingValue{on});
}

void SuggestionController::toggleSuggest() {
    const bool on = !suggestEnabled();
    setSuggestEnabled(on);
    log(std::string("layouts suggest=") + (on ? "true" : "false"));
    if (!on && panel_.isShowing()) panel_.dismiss();
}

void SuggestionController::considerSuggestion(const std::vector<LiveDisplay>& live,
                                              std::string_view reason) {
    if (!suggestEnabled() || store_.layouts().empty()) return;
    const std::string head = "layout suggest (" + std::string(reason) + "): ";
    if (isBusy && isBusy()) {
        log(head + "skipped, align mode is open");
        return;
    }
    const SuggestionDecision decision = decideSuggestion(store_.layouts(), live);
    if (const auto* done = std::get_if<AlreadyArranged>(&decision)) {
        if (panel_.isShowing()) panel_.dismiss();
        log(head + "already arranged as \"" + done->name + "\"");
    } else if (std::holds_alternative<NoMatch>(decision)) {
        if (panel_.isShowing()) panel_.dismiss();
        log(head + "no saved layout for these monitors");
    } else {
        const SavedLayout& layout = std::get<Offer>(decision).layout;
        if (layout.autoApply) {
            log(head + "auto-apply \"" + layout.name + "\"");
            if (applyLayout) applyLayout(layout.id, "auto");
        } else {
            log(head + "offer \"" + layout.name + "\"");
            panel_.show(layout.id, layout.name);
        }
    }
}

void SuggestionController::answer(const std::string& id, bool apply, bool always) {
    const SavedLayout* layout = store_.layout(id);
    if (!layout) return;
    const std::string name = layout->name;
    if (always) {
        store_.setAutoApply(id, true);
        log("layout \"" + name + "\" auto-apply=true (from suggestion)");
    }
    if (apply) {
        if (applyLayout) applyLayout(id, "suggestion");
    } else {
        log("layout suggestion \"" + name + "\" declined");
    }
}

}  // namespace seam
