#include "platform/gnome/gnome_display.h"

#include <cstdlib>

#include "base/log.h"
#include "layouts/edid_info.h"
#include "platform/x11/output_uuid.h"

namespace seam {

namespace {
// Locations of monitors whose DRM connector could not be matched.
constexpr const char* kCompositorLocation = "compositor:";
}  // namespace

GnomeDisplayServices::GnomeDisplayServices(std::shared_ptr<MutterConfigSource> config,
                                           DrmConnectors registry)
    : config_(std::move(config)), registry_(std::move(registry)) {
    // Without announcements of changes, read afresh each time.
    watch_ = config_->watch([this] { forget(); });
}

GnomeDisplayServices::~GnomeDisplayServices() = default;

const MutterLayout* GnomeDisplayServices::layout() {
    if (fresh_ && state_) return &layout_;
    std::string error;
    auto state = config_->currentState(&error);
    if (!state) {
        log("display configuration unreadable: " + error);
        return nullptr;
    }
    state_ = std::move(state);
    layout_ = layoutOf(*state_, ids_);
    fresh_ = watch_ != nullptr;
    return &layout_;
}

std::vector<Disp> GnomeDisplayServices::activeDisplays() {
    const MutterLayout* l = layout();
    return l ? l->active() : std::vector<Disp>{};
}

std::vector<std::uint32_t> GnomeDisplayServices::onlineDisplays() {
    std::vector<std::uint32_t> out;
    if (const MutterLayout* l = layout())
        for (const MutterDisplay& d : l->displays) out.push_back(d.id);
    return out;
}

std::uint32_t GnomeDisplayServices::mainDisplay() {
    const MutterLayout* l = layout();
    return l ? l->main : 0;
}

bool GnomeDisplayServices::isBuiltin(std::uint32_t id) {
    const MutterLayout* l = layout();
    const MutterDisplay* d = l ? l->find(id) : nullptr;
    return d && d->builtin;
}

std::optional<std::uint32_t> GnomeDisplayServices::mirrors(std::uint32_t id) {
    const MutterLayout* l = layout();
    const MutterDisplay* d = l ? l->find(id) : nullptr;
    return d ? d->mirrorOf : std::nullopt;
}

bool GnomeDisplayServices::configure(const std::vector<DisplayMove>& moves) {
    if (moves.empty()) return true;
    // Read now: the call must carry the serial of the state it changes.
    forget();
    if (!layout()) return false;
    const ApplyPlan plan = planApply(*state_, ids_, moves);
    if (const auto* refused = std::get_if<ApplyRefused>(&plan)) {
        log("configure refused: " + refused->reason);
        return false;
    }
    if (std::holds_alternative<NothingToApply>(plan)) return true;
    std::string error;
    const bool ok = config_->apply(std::get<MutterApply>(plan), &error);
    forget();
    if (!ok) log("configure failed: the compositor answered: " + error);
    return ok;
}

Rect GnomeDisplayServices::toToolkit(const Rect& global) {
    // The toolkit places windows in the compositor's layout.
    const MutterLayout* l = layout();
    const Point o = l ? l->origin : Point{};
    return {global.x + o.x, global.y + o.y, global.width, global.height};
}

std::optional<std::string> GnomeDisplayServices::outputName(std::uint32_t id) {
    const MutterLayout* l = layout();
    const MutterDisplay* d = l ? l->find(id) : nullptr;
    return d ? std::optional(d->connector) : std::nullopt;
}

std::vector<std::uint8_t> GnomeDisplayServices::monitorBytes(const MutterMonitor& monitor) const {
    if (auto match = matchDrmConnector(monitor, registry_.services())) return match->edid;
    return descriptionBytes(monitor);
}

GnomeDisplayChanges::~GnomeDisplayChanges() = default;

bool GnomeDisplayChanges::read(DisplaySnapshot& out) {
    services_.forget();
    const MutterLayout* l = services_.layout();
    if (!l) return false;
    out = snapshotOf(*l);
    for (size_t i = 0; i < out.displays.size(); ++i)
        out.displays[i].edid = services_.monitorBytes(*l->displays[i].monitor);
    return true;
}

int GnomeDisplayChanges::registerCallback(Callback callback) {
    // Watched before reading, so no change falls between the two.
    watch_ = services_.config()->watch([this] { dispatch(); });
    if (!watch_ || !read(last_)) {
        watch_.reset();
        return registrationFailed;
    }
    callback_ = std::move(callback);
    return 0;
}

void GnomeDisplayChanges::dispatch() {
    DisplaySnapshot now;
    if (!read(now)) return;
    const std::vector<DisplayChange> changes = diffSnapshots(last_, now);
    last_ = std::move(now);
    for (const DisplayChange& c : changes)
        if (callback_) callback_(c.display, c.flags);
}

const MutterMonitor* GnomeDisplayIdentity::monitor(std::uint32_t id, std::size_t* index) {
    const MutterLayout* l = services_.layout();
    if (!l) return nullptr;
    for (std::size_t i = 0; i < l->displays.size(); ++i) {
        if (l->displays[i].id != id) continue;
        if (index) *index = i;
        return l->displays[i].monitor;
    }
    return nullptr;
}

DisplayHardware GnomeDisplayIdentity::hardware(std::uint32_t id) {
    DisplayHardware hw;
    std::size_t index = 0;
    const MutterMonitor* m = monitor(id, &index);
    if (!m) return hw;
    hw.unit = std::uint32_t(index);
    if (const MutterMode* mode = m->currentMode()) hw.pixels = {mode->width, mode->height};
    std::optional<EDIDInfo> edid;
    std::vector<std::uint8_t> bytes;
    if (auto match = matchDrmConnector(*m, services_.registry().services())) {
        bytes = match->edid;
        edid = parseEDID(bytes);
    }
    if (edid) {
        hw.vendor = edid->vendor;
        hw.model = edid->product;
        hw.serial = edid->serial;
    } else {
        const MutterNumbers n = numbersOf(*m);
        hw.vendor = n.vendor;
        hw.model = n.model;
        hw.serial = n.serial;
        bytes = descriptionBytes(*m);
    }
    hw.uuid = outputUUID(bytes, m->connector);
    if (edid && edid->name && !edid->name->empty())
        hw.name = edid->name;
    else if (m->displayName && !m->displayName->empty())
        hw.name = m->displayName;
    else
        hw.name = m->connector;
    return hw;
}

bool GnomeDisplayIdentity::infoAvailable() {
    if (!infoAvailable_) infoAvailable_ = !infoSwitchedOff(std::getenv(kNoInfoDictionaryVariable));
    return *infoAvailable_;
}

std::optional<nlohmann::json> GnomeDisplayIdentity::info(std::uint32_t id) {
    if (!infoAvailable()) return std::nullopt;
    const MutterMonitor* m = monitor(id);
    if (!m) return std::nullopt;
    nlohmann::json dict = nlohmann::json::object();
    if (auto match = matchDrmConnector(*m, services_.registry().services())) {
        dict["IODisplayEDID"] = nlohmann::json::binary(std::move(match->edid));
        dict["IODisplayLocation"] = match->path;
    } else {
        dict["IODisplayLocation"] = kCompositorLocation + m->connector;
    }
    return dict;
}

std::optional<RegistryEntry> GnomeDisplayIdentity::registryEntry(const std::string& path) {
    const std::string prefix = kCompositorLocation;
    if (path.rfind(prefix, 0) != 0) return services_.registry().entry(path);
    const MutterLayout* l = services_.layout();
    if (!l) return std::nullopt;
    for (const MutterDisplay& d : l->displays)
        if (prefix + d.connector == path) return attributesEntry(path, numbersOf(*d.monitor));
    return std::nullopt;
}

std::vector<RegistryEntry> GnomeDisplayIdentity::registryServices() {
    return services_.registry().services();
}

}  // namespace seam
