// Whether a saved layout fits the monitors attached now, and which one to offer.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "layouts/layout_plan.h"
#include "layouts/live_display.h"
#include "layouts/saved_layout.h"

namespace seam {

struct AlreadyArranged {
    std::string name;  // the fitting layout that is in effect
    bool operator==(const AlreadyArranged&) const = default;
};

struct Offer {
    SavedLayout layout;
    LayoutPlan plan;
    bool operator==(const Offer&) const = default;
};

struct NoMatch {
    bool operator==(const NoMatch&) const = default;
};

using SuggestionDecision = std::variant<AlreadyArranged, Offer, NoMatch>;

// Layouts in store order. Among the fitting ones: the first already in effect
// wins; otherwise the most recently applied, then the most recently saved, the
// earliest in the store on a tie.
SuggestionDecision decideSuggestion(const std::vector<SavedLayout>& layouts,
                                    const std::vector<LiveDisplay>& live);

}  // namespace seam
