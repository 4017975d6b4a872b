#include "platform/sim/sim_display_server.h"

#include <algorithm>

namespace seam {

void SimDisplayServer::addDisplay(SimDisplay d) {
    displays_.push_back(std::move(d));
    if (main_ == 0) main_ = displays_.back().id;
    normalise();
}

void SimDisplayServer::removeDisplay(std::uint32_t id) {
    std::erase_if(displays_, [id](const SimDisplay& d) { return d.id == id; });
    if (main_ == id) main_ = displays_.empty() ? 0 : displays_.front().id;
    normalise();
}

void SimDisplayServer::setMain(std::uint32_t id) {
    if (find(id)) main_ = id;
    normalise();
}

SimDisplay* SimDisplayServer::find(std::uint32_t id) {
    for (auto& d : displays_)
        if (d.id == id) return &d;
    return nullptr;
}

// Keeps the main display at (0,0) by shifting the whole space, as the window server does.
void SimDisplayServer::normalise() {
    SimDisplay* m = find(main_);
    if (!m) return;
    const double dx = m->frame.x, dy = m->frame.y;
    if (dx == 0 && dy == 0) return;
    for (auto& d : displays_) {
        d.frame.x -= dx;
        d.frame.y -= dy;
    }
}

std::vector<Disp> SimDisplayServer::activeDisplays() {
    std::vector<Disp> out;
    for (const auto& d : displays_)
        if (d.active) out.push_back({d.id, d.frame});
    return out;
}

std::vector<std::uint32_t> SimDisplayServer::onlineDisplays() {
    std::vector<std::uint32_t> out;
    for (const auto& d : displays_) out.push_back(d.id);
    return out;
}

bool SimDisplayServer::isBuiltin(std::uint32_t id) {
    const SimDisplay* d = find(id);
    return d && d->builtin;
}

std::optional<std::uint32_t> SimDisplayServer::mirrors(std::uint32_t id) {
    const SimDisplay* d = find(id);
    return d ? d->mirrorOf : std::nullopt;
}

bool SimDisplayServer::configure(const std::vector<DisplayMove>& moves) {
    transactions_.push_back(moves);
    if (failBegin_) return false;
    std::vector<SimDisplay> next = displays_;
    for (size_t i = 0; i < moves.size(); ++i) {
        auto it = std::find_if(next.begin(), next.end(),
                               [&](const SimDisplay& d) { return d.id == moves[i].id; });
        if (it == next.end() || static_cast<int>(i) + 1 == failMove_) return false;
        // A mirror set moves as one, whichever member is named.
        const std::uint32_t source = it->mirrorOf.value_or(it->id);
        for (SimDisplay& d : next) {
            if (d.id != source && d.mirrorOf.value_or(0) != source) continue;
            d.frame.x = moves[i].x;
            d.frame.y = moves[i].y;
        }
    }
    if (failComplete_) return false;
    displays_ = std::move(next);
    // The display placed at (0,0) becomes main.
    for (const auto& d : displays_)
        if (d.active && d.frame.x == 0 && d.frame.y == 0) main_ = d.id;
    normalise();
    if (onReconfigure) onReconfigure();
    return true;
}

void SimDisplayServer::warp(Point p) {
    pointer_ = p;
    warps_.push_back(p);
}

DisplayHardware SimDisplayServer::hardware(std::uint32_t id) {
    const SimDisplay* d = find(id);
    if (!d) return {};
    DisplayHardware hw{.vendor = d->vendor,
                       .model = d->model,
                       .serial = d->serial,
                       .unit = d->unit,
                       .uuid = d->uuid,
                       .pixels = {int(d->frame.width), int(d->frame.height)}};
    if (!d->name.empty()) hw.name = d->name;
    return hw;
}

std::optional<nlohmann::json> SimDisplayServer::info(std::uint32_t id) {
    const SimDisplay* d = find(id);
    if (!infoAvailable_ || !d) return std::nullopt;
    if (d->info) return d->info;
    nlohmann::json dict = nlohmann::json::object();
    if (!d->edid.empty()) dict["IODisplayEDID"] = nlohmann::json::binary(d->edid);
    if (d->registryPath) dict["IODisplayLocation"] = *d->registryPath;
    return dict;
}

std::optional<RegistryEntry> SimDisplayServer::registryEntry(const std::string& path) {
    for (const RegistryEntry& e : registry)
        if (e.path == path) return e;
    return std::nullopt;
}

}  // namespace seam
