#include "platform/sim/sim_display_changes.h"

namespace seam {

SimDisplayChanges::SimDisplayChanges(SimDisplayServer& server)
    : server_(server), last_(snapshot()) {}

int SimDisplayChanges::registerCallback(Callback callback) {
    if (registrationStatus == 0) callback_ = std::move(callback);
    return registrationStatus;
}

DisplaySnapshot SimDisplayChanges::snapshot() {
    DisplaySnapshot s = takeSnapshot(server_);
    for (DisplayState& d : s.displays)
        if (const SimDisplay* sim = server_.find(d.id)) d.edid = sim->edid;
    return s;
}

void SimDisplayChanges::poll() {
    DisplaySnapshot now = snapshot();
    const std::vector<DisplayChange> changes = diffSnapshots(last_, now);
    last_ = std::move(now);
    for (const DisplayChange& c : changes) post(c.display, changeFlag::beginConfiguration);
    for (const DisplayChange& c : changes) post(c.display, c.flags);
}

void SimDisplayChanges::post(std::uint32_t display, std::uint32_t flags) {
    delivered_.push_back({display, flags});
    if (callback_) callback_(display, flags);
}

}  // namespace seam
