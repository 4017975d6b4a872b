#include "platform/kwin/kwin_output_client.h"

#include <wayland-client.h>

#include <list>
#include <optional>

#include "kde-output-device-v2-client-protocol.h"
#include "kde-output-management-v2-client-protocol.h"
#include "kde-output-order-v1-client-protocol.h"
#include "platform/wayland/wayland_connection.h"

namespace seam {

const char* outcomeText(KwinApplyOutcome outcome) {
    switch (outcome) {
        case KwinApplyOutcome::applied:
            return "applied";
        case KwinApplyOutcome::failed:
            return "failed";
        case KwinApplyOutcome::lost:
            return "lost";
    }
    return "?";
}

namespace {
// Newer interface versions only add what we do not use.
constexpr unsigned kDeviceVersion = 2;
constexpr unsigned kManagementVersion = 1;
constexpr unsigned kOrderVersion = 1;
// A compositor that does not answer a configuration within this is gone for us.
constexpr int kAnswerTimeoutMs = 5000;
}  // namespace

struct KwinOutputClient::Impl {
    // What the listeners get: the connection and our handle for the object.
    struct Ref {
        Impl* impl = nullptr;
        std::uint32_t key = 0;
        void* proxy = nullptr;
        std::uint32_t global = 0;  // devices only
    };

    WaylandConnection wl;
    kde_output_management_v2* management = nullptr;
    kde_output_order_v1* order = nullptr;
    std::vector<std::string> orderBatch;

    OutputTracker tracker;
    std::uint32_t nextKey = 1;
    std::list<Ref> devices, modes;
    std::function<void()> changed;
    bool dirty = false;

    ~Impl();
    Ref& add(std::list<Ref>& refs, void* proxy, std::uint32_t global = 0) {
        refs.push_back({this, nextKey++, proxy, global});
        return refs.back();
    }
    void apply(const output::Event& e) {
        if (tracker.apply(e)) dirty = true;
    }
    // KWin ends each device's changes with its own done, so one configuration
    // arrives as several; told apart, a swap of two outputs would pass through
    // a state where both show the same place. What one read brought counts once.
    void announce() {
        if (!dirty) return;
        dirty = false;
        if (changed) changed();
    }
    void bindDevice(std::uint32_t global, unsigned offered);
};

namespace {
using Ref = KwinOutputClient::Impl::Ref;
using Impl = KwinOutputClient::Impl;

void apply(void* data, const output::Event& e) {
    static_cast<Ref*>(data)->impl->apply(e);
}
std::uint32_t key(void* data) {
    return static_cast<Ref*>(data)->key;
}
std::uint32_t keyOf(void* proxy) {
    auto* ref =
        proxy ? static_cast<Ref*>(wl_proxy_get_user_data(static_cast<wl_proxy*>(proxy))) : nullptr;
    return ref ? ref->key : 0;
}
std::string text(const char* v) {
    return v ? v : "";
}

void modeSize(void* d, kde_output_device_mode_v2*, int32_t w, int32_t h) {
    apply(d, output::ModeSize{key(d), w, h});
}
void modeRefresh(void* d, kde_output_device_mode_v2*, int32_t r) {
    apply(d, output::ModeRefresh{key(d), r});
}
void modePreferred(void* d, kde_output_device_mode_v2*) {
    apply(d, output::ModePreferred{key(d)});
}
void modeRemoved(void* d, kde_output_device_mode_v2*) {
    apply(d, output::ModeFinished{key(d)});
}
const kde_output_device_mode_v2_listener kModeListener = {modeSize, modeRefresh, modePreferred,
                                                          modeRemoved};

void deviceGeometry(void* d, kde_output_device_v2*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char* make, const char* model, int32_t transform) {
    apply(d, output::HeadPosition{key(d), x, y});
    apply(d, output::HeadText{key(d), output::TextField::make, text(make)});
    apply(d, output::HeadText{key(d), output::TextField::model, text(model)});
    apply(d, output::HeadTransform{key(d), transform});
}
void deviceCurrentMode(void* d, kde_output_device_v2*, kde_output_device_mode_v2* mode) {
    apply(d, output::HeadCurrentMode{key(d), keyOf(mode)});
}
void deviceMode(void* d, kde_output_device_v2*, kde_output_device_mode_v2* mode) {
    auto* ref = static_cast<Ref*>(d);
    Ref& m = ref->impl->add(ref->impl->modes, mode);
    kde_output_device_mode_v2_add_listener(mode, &kModeListener, &m);
    apply(d, output::HeadModeAdded{ref->key, m.key});
}
void deviceDone(void* d, kde_output_device_v2*) {
    apply(d, output::HeadDone{key(d)});
}
void deviceScale(void* d, kde_output_device_v2*, wl_fixed_t s) {
    apply(d, output::HeadScale{key(d), wl_fixed_to_double(s)});
}
void deviceEdid(void* d, kde_output_device_v2*, const char* raw) {
    apply(d, output::HeadEdid{key(d), text(raw)});
}
void deviceEnabled(void* d, kde_output_device_v2*, int32_t on) {
    apply(d, output::HeadEnabled{key(d), on != 0});
}
void deviceText(void* d, output::TextField f, const char* v) {
    apply(d, output::HeadText{key(d), f, text(v)});
}
void deviceUuid(void* d, kde_output_device_v2*, const char* v) {
    deviceText(d, output::TextField::uuid, v);
}
void deviceSerial(void* d, kde_output_device_v2*, const char* v) {
    deviceText(d, output::TextField::serial, v);
}
void deviceEisaId(void* d, kde_output_device_v2*, const char* v) {
    deviceText(d, output::TextField::eisaId, v);
}
void deviceName(void* d, kde_output_device_v2*, const char* v) {
    deviceText(d, output::TextField::name, v);
}
void deviceCapabilities(void*, kde_output_device_v2*, uint32_t) {}
void deviceOverscan(void*, kde_output_device_v2*, uint32_t) {}
void deviceVrrPolicy(void*, kde_output_device_v2*, uint32_t) {}
void deviceRgbRange(void*, kde_output_device_v2*, uint32_t) {}
const kde_output_device_v2_listener kDeviceListener = {
    deviceGeometry,     deviceCurrentMode, deviceMode,      deviceDone,     deviceScale,
    deviceEdid,         deviceEnabled,     deviceUuid,      deviceSerial,   deviceEisaId,
    deviceCapabilities, deviceOverscan,    deviceVrrPolicy, deviceRgbRange, deviceName};

// The outputs in the user's order of preference; the first is the primary.
void orderOutput(void* d, kde_output_order_v1*, const char* name) {
    static_cast<Impl*>(d)->orderBatch.push_back(text(name));
}
void orderDone(void* d, kde_output_order_v1*) {
    auto* impl = static_cast<Impl*>(d);
    impl->apply(output::Primary{impl->orderBatch.empty() ? "" : impl->orderBatch.front()});
    impl->orderBatch.clear();
}
const kde_output_order_v1_listener kOrderListener = {orderOutput, orderDone};

void registryGlobal(void* d, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
    auto* impl = static_cast<Impl*>(d);
    const std::string_view i(interface);
    if (i == kde_output_management_v2_interface.name && !impl->management) {
        impl->management = static_cast<kde_output_management_v2*>(
            wl_registry_bind(registry, name, &kde_output_management_v2_interface,
                             std::min<unsigned>(version, kManagementVersion)));
    } else if (i == kde_output_order_v1_interface.name && !impl->order) {
        impl->order = static_cast<kde_output_order_v1*>(
            wl_registry_bind(registry, name, &kde_output_order_v1_interface,
                             std::min<unsigned>(version, kOrderVersion)));
        kde_output_order_v1_add_listener(impl->order, &kOrderListener, impl);
    } else if (i == kde_output_device_v2_interface.name) {
        impl->bindDevice(name, version);
    }
}
void registryGlobalRemove(void* d, wl_registry*, uint32_t name) {
    auto* impl = static_cast<Impl*>(d);
    for (auto it = impl->devices.begin(); it != impl->devices.end(); ++it) {
        if (it->global != name) continue;
        // The device's modes stay until the connection closes: the protocol has
        // no request to let them go, and they are few.
        kde_output_device_v2_destroy(static_cast<kde_output_device_v2*>(it->proxy));
        const std::uint32_t gone = it->key;
        impl->devices.erase(it);
        impl->apply(output::HeadRemoved{gone});
        return;
    }
}
const wl_registry_listener kRegistryListener = {registryGlobal, registryGlobalRemove};

struct Answer {
    std::optional<KwinApplyOutcome> outcome;
};
void configApplied(void* d, kde_output_configuration_v2*) {
    static_cast<Answer*>(d)->outcome = KwinApplyOutcome::applied;
}
void configFailed(void* d, kde_output_configuration_v2*) {
    static_cast<Answer*>(d)->outcome = KwinApplyOutcome::failed;
}
const kde_output_configuration_v2_listener kConfigListener = {configApplied, configFailed};
}  // namespace

void KwinOutputClient::Impl::bindDevice(std::uint32_t global, unsigned offered) {
    auto* device = static_cast<kde_output_device_v2*>(
        wl_registry_bind(wl.registry(), global, &kde_output_device_v2_interface,
                         std::min<unsigned>(offered, kDeviceVersion)));
    Ref& ref = add(devices, device, global);
    kde_output_device_v2_add_listener(device, &kDeviceListener, &ref);
    tracker.apply(output::HeadAdded{ref.key});
}

KwinOutputClient::Impl::~Impl() {
    for (Ref& m : modes)
        kde_output_device_mode_v2_destroy(static_cast<kde_output_device_mode_v2*>(m.proxy));
    for (Ref& o : devices)
        kde_output_device_v2_destroy(static_cast<kde_output_device_v2*>(o.proxy));
    if (order) kde_output_order_v1_destroy(order);
    if (management) kde_output_management_v2_destroy(management);
}

std::unique_ptr<KwinOutputClient> KwinOutputClient::connect(std::string& whyNot,
                                                            const char* socketName) {
    auto impl = std::make_unique<Impl>();
    if (!impl->wl.open(socketName, kRegistryListener, impl.get(), whyNot)) return nullptr;
    if (!impl->management) {
        whyNot = "the compositor offers no kde_output_management_v2";
        return nullptr;
    }
    // Every device's state up to its done.
    if (!impl->wl.roundtrip()) {
        whyNot = "the Wayland connection failed while reading the outputs";
        return nullptr;
    }
    if (impl->tracker.heads().empty()) {
        whyNot = "the compositor reported no kde_output_device_v2";
        return nullptr;
    }
    impl->dirty = false;  // the state at connecting is no change
    Impl* raw = impl.get();
    impl->wl.afterRead = [raw] { raw->announce(); };
    return std::unique_ptr<KwinOutputClient>(new KwinOutputClient(std::move(impl)));
}

KwinOutputClient::KwinOutputClient(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
KwinOutputClient::~KwinOutputClient() = default;

void KwinOutputClient::refresh() {
    impl_->wl.dispatchFor(0);
}
bool KwinOutputClient::readable() {
    return impl_->wl.readable();
}
bool KwinOutputClient::roundtrip() {
    return impl_->wl.roundtrip();
}
int KwinOutputClient::fd() const {
    return impl_->wl.fd();
}
void KwinOutputClient::onChange(std::function<void()> handler) {
    impl_->changed = std::move(handler);
}
const std::vector<KwinOutput>& KwinOutputClient::outputs() const {
    return impl_->tracker.heads();
}
const std::string& KwinOutputClient::primary() const {
    return impl_->tracker.primary();
}

KwinApplyOutcome KwinOutputClient::apply(const std::vector<KwinPlacement>& placements) {
    Impl& m = *impl_;
    if (m.wl.lost()) return KwinApplyOutcome::lost;
    Answer answer;
    auto* config = kde_output_management_v2_create_configuration(m.management);
    kde_output_configuration_v2_add_listener(config, &kConfigListener, &answer);
    for (const KwinPlacement& p : placements)
        for (const Ref& r : m.devices)
            if (r.key == p.outputKey)
                kde_output_configuration_v2_position(
                    config, static_cast<kde_output_device_v2*>(r.proxy), p.x, p.y);
    kde_output_configuration_v2_apply(config);
    m.wl.waitUntil([&] { return answer.outcome.has_value(); }, kAnswerTimeoutMs);
    kde_output_configuration_v2_destroy(config);
    if (!answer.outcome) return KwinApplyOutcome::lost;
    // The devices' new state follows the answer; take it in before anyone reads.
    if (*answer.outcome == KwinApplyOutcome::applied) roundtrip();
    return *answer.outcome;
}

}  // namespace seam
