#include "platform/platform.h"

#include "platform/compositor_platform.h"

namespace seam {

namespace {
// What is missing, in the words of the log.
struct Lack {
    bool Abilities::*ability;
    const char* line;
};
constexpr Lack kLacks[] = {
    {&Abilities::pointerFeed, "no global pointer events, gestures off"},
    {&Abilities::warp, "no pointer warp after moves"},
    {&Abilities::displayChanges, "no display change events, suggestions only at launch"},
    {&Abilities::hotKeys, "no key grabs, hot keys through the desktop"},
    {&Abilities::loginItem, "no login item"},
    {&Abilities::wake, "no wake events"},
    {&Abilities::placeWindows, "windows placed by the compositor"},
    {&Abilities::coverOutputs, "no window covers one monitor, align mode off"},
};

}  // namespace

Abilities abilitiesOf(Platform& platform) {
    return {
        .displayChanges = platform.displayChanges() != nullptr,
        .pointerFeed = platform.pointerFeed() != nullptr,
        .warp = platform.pointer().canWarp(),
        .hotKeys = platform.hotKeys() != nullptr,
        .loginItem = platform.loginItem() != nullptr,
        .wake = platform.wake() != nullptr,
        .placeWindows = platform.placesWindows(),
        .coverOutputs = platform.coversOutputs(),
    };
}

std::optional<std::string> limitsLine(std::string_view name, const Abilities& can) {
    std::string lacks;
    for (const Lack& l : kLacks) {
        if (can.*l.ability) continue;
        if (!lacks.empty()) lacks += "; ";
        lacks += l.line;
    }
    if (lacks.empty()) return std::nullopt;
    return "platform " + std::string(name) + ": " + lacks;
}

}  // namespace seam

namespace seam {

Point CentrePointer::location() {
    const std::uint32_t main = displays_.mainDisplay();
    for (const Disp& d : displays_.activeDisplays())
        if (d.id == main) return {d.f.x + d.f.width / 2, d.f.y + d.f.height / 2};
    return {};
}

}  // namespace seam
