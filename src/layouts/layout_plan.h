// Which attached display takes which saved place, and where each origin goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/arrangement.h"
#include "layouts/live_display.h"
#include "layouts/saved_layout.h"

namespace seam {

struct LayoutPair {
    std::uint32_t id = 0;
    int slot = 0;
    bool operator==(const LayoutPair&) const = default;
};

struct LayoutPlan {
    std::vector<Move> moves;  // in the order of the attached list
    std::vector<LayoutPair> pairs;
    int ways = 0;
    bool alreadyMatches = false;
    std::uint32_t newMain = 0;

    bool ambiguous() const { return ways > 1; }
    bool operator==(const LayoutPlan&) const = default;
};

// Nothing unless every attached display (at most 10) pairs with a saved place of the
// same monitor. Among several pairings the one that moves the monitors least wins.
std::optional<LayoutPlan> planLayout(const SavedLayout& layout,
                                     const std::vector<LiveDisplay>& live,
                                     bool logAmbiguity = false);

// A fresh upper-case UUID text (version 4).
std::string newLayoutId();

SavedLayout makeLayout(const std::string& name, const std::vector<LiveDisplay>& live,
                       const SavedLayout* replacing, Date now);

}  // namespace seam
