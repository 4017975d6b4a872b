#include "layouts/live_display.h"

#include <algorithm>

#include "geometry/arrangement.h"
#include "layouts/display_probe.h"
#include "layouts/edid_info.h"

namespace seam {

std::string setSignature(const std::vector<LiveDisplay>& live) {
    std::vector<std::string> ids;
    ids.reserve(live.size());
    for (const auto& d : live) ids.push_back(std::to_string(d.id));
    std::sort(ids.begin(), ids.end());
    std::string out;
    for (const auto& id : ids) {
        if (!out.empty()) out += ',';
        out += id;
    }
    return out;
}

bool hasIndistinguishable(const std::vector<LiveDisplay>& live) {
    for (size_t i = 0; i < live.size(); ++i) {
        for (size_t j = i + 1; j < live.size(); ++j) {
            if (sameMonitor(live[i].ident, live[j].ident)) return true;
        }
    }
    return false;
}

std::string describeLive(const std::vector<LiveDisplay>& live) {
    std::string out;
    for (const auto& d : live) {
        if (!out.empty()) out += " | ";
        out += "id=" + std::to_string(d.id);
        if (d.isMain) out += "[주]";
        out += " " + pnpID(d.ident.vendor) + "/" + std::to_string(d.ident.model) + " ";
        if (d.ident.serialString) {
            out += "sn=" + *d.ident.serialString;
        } else if (!d.ident.serialNumber) {
            out += "sn=-";
        } else {
            out += "sn#" + std::to_string(*d.ident.serialNumber);
        }
        out += " (" + std::to_string(truncInt(d.frame.minX())) + "," +
               std::to_string(truncInt(d.frame.minY())) + " " +
               std::to_string(truncInt(d.frame.width)) + "x" +
               std::to_string(truncInt(d.frame.height)) + ")";
    }
    return out;
}

std::vector<LiveDisplay> readLiveDisplays(Arrangement& arrangement, DisplayIdentitySource& source) {
    DisplayServices& services = arrangement.services();
    const std::uint32_t mainId = arrangement.mainDisplay();
    std::vector<LiveDisplay> out;
    for (const Disp& d : arrangement.displays()) {
        if (services.mirrors(d.id).value_or(0) != 0) continue;
        const DisplayProbe p = probeDisplay(d.id, services, source);
        out.push_back({.id = d.id,
                       .ident = p.ident(),
                       .uuid = p.uuid,
                       .name = p.name ? *p.name : arrangement.screenName(d.id),
                       .frame = d.f,
                       .isMain = d.id == mainId});
    }
    return out;
}

}  // namespace seam
