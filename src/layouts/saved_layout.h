// A named snapshot of where each attached monitor sat.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <vector>

#include "layouts/display_ident.h"

namespace seam {

// A moment as seconds since 2001-01-01 00:00:00 UTC, the form the layout file keeps.
struct Date {
    static constexpr double kUnixOfReference = 978307200.0;

    double sinceReference = 0;

    static Date fromUnix(double unixSeconds) { return {unixSeconds - kUnixOfReference}; }
    double unixSeconds() const { return sinceReference + kUnixOfReference; }
    auto operator<=>(const Date&) const = default;
};

struct SavedDisplay {
    DisplayIdent ident;
    std::optional<std::string> uuid;
    std::optional<std::string> name;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool main = false;
    bool operator==(const SavedDisplay&) const = default;
};

struct SavedLayout {
    std::string id;    // upper-case UUID text
    std::string name;  // stored trimmed
    std::vector<SavedDisplay> displays;
    Date savedAt;
    std::optional<Date> lastApplied;
    bool autoApply = false;
    bool operator==(const SavedLayout&) const = default;
};

}  // namespace seam
