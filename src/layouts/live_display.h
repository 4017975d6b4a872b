// An attached, non-mirroring display with its identity: what planning and the
// change gate work on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "layouts/display_ident.h"
#include "platform/display_identity.h"

namespace seam {

class Arrangement;

struct LiveDisplay {
    std::uint32_t id = 0;
    DisplayIdent ident;
    std::optional<std::string> uuid;
    std::string name;
    Rect frame;
    bool isMain = false;
    bool operator==(const LiveDisplay&) const = default;
};

// Ids sorted as texts and joined by ",": "10,2" for ids 2 and 10.
std::string setSignature(const std::vector<LiveDisplay>& live);
// Some two entries would be taken for the same monitor.
bool hasIndistinguishable(const std::vector<LiveDisplay>& live);
// "id=1[주] APP/41234 sn#12345 (0,0 1512x982) | id=3 SAM/2073 sn=HTPK1 (1512,0 1920x1080)"
std::string describeLive(const std::vector<LiveDisplay>& live);

// The active displays that mirror nothing, in the arrangement's order, each probed afresh.
std::vector<LiveDisplay> readLiveDisplays(Arrangement& arrangement, DisplayIdentitySource& source);

}  // namespace seam
