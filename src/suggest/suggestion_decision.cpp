#include "suggest/suggestion_decision.h"

#include <optional>
#include <utility>

namespace seam {

namespace {
// A layout never applied counts as applied in the most distant past.
bool later(const SavedLayout& a, const SavedLayout& b) {
    if (a.lastApplied != b.lastApplied) {
        if (!a.lastApplied) return false;
        if (!b.lastApplied) return true;
        return *a.lastApplied > *b.lastApplied;
    }
    return a.savedAt > b.savedAt;
}
}  // namespace

SuggestionDecision decideSuggestion(const std::vector<SavedLayout>& layouts,
                                    const std::vector<LiveDisplay>& live) {
    std::vector<std::pair<const SavedLayout*, LayoutPlan>> candidates;
    for (const SavedLayout& layout : layouts)
        if (auto plan = planLayout(layout, live))
            candidates.emplace_back(&layout, std::move(*plan));
    if (candidates.empty()) return NoMatch{};
    for (const auto& [layout, plan] : candidates)
        if (plan.alreadyMatches) return AlreadyArranged{layout->name};
    const auto* best = &candidates.front();
    for (const auto& c : candidates)
        if (later(*c.first, *best->first)) best = &c;
    return Offer{*best->first, best->second};
}

}  // namespace seam
