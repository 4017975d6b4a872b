#include "geometry/arrangement.h"

#include <cmath>
#include <limits>

#include "base/dry_run.h"
#include "base/log.h"
#include "base/platform_words.h"
#include "base/text.h"

namespace seam {

std::string movesText(const std::vector<Move>& moves) {
    std::string out;
    for (const Move& m : moves) {
        if (!out.empty()) out += ' ';
        out += "id=" + std::to_string(m.id) + "->(" + std::to_string(truncInt(m.origin.x)) + "," +
               std::to_string(truncInt(m.origin.y)) + ")";
    }
    return out;
}

std::optional<DisplayMove> roundedMove(const Move& move) {
    const double x = std::round(move.origin.x);  // std::round rounds halves away from zero
    const double y = std::round(move.origin.y);
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (!(x >= lo && x <= hi && y >= lo && y <= hi)) return std::nullopt;  // NaN fails too
    return DisplayMove{move.id, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

std::vector<Disp> Arrangement::displays() {
    return services_.activeDisplays();
}

bool Arrangement::setOrigins(const std::vector<Move>& moves) {
    if (dryRun()) {
        log("would configure " + movesText(moves));
        return true;
    }
    std::vector<DisplayMove> rounded;
    rounded.reserve(moves.size());
    for (const Move& m : moves) {
        auto r = roundedMove(m);
        if (!r) return false;
        rounded.push_back(*r);
    }
    return services_.configure(rounded);
}

bool Arrangement::setOrigin(std::uint32_t id, Point origin) {
    return setOrigins({{id, origin}});
}

std::string Arrangement::screenName(std::uint32_t id) {
    if (services_.isBuiltin(id)) return builtinScreenName();
    return T("모니터", "monitor");
}

std::string Arrangement::describe(const std::vector<Disp>& list) {
    const std::uint32_t mainId = services_.mainDisplay();
    std::string out;
    for (const Disp& d : list) {
        if (!out.empty()) out += " | ";
        out += "id=" + std::to_string(d.id) + (d.id == mainId ? "[주]" : "") + " (" +
               std::to_string(truncInt(d.f.minX())) + "," + std::to_string(truncInt(d.f.minY())) +
               " " + std::to_string(truncInt(d.f.width)) + "x" +
               std::to_string(truncInt(d.f.height)) + ")";
    }
    return out;
}

}  // namespace seam
