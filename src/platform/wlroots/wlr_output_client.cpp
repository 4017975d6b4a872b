#include "platform/wlroots/wlr_output_client.h"

#include <wayland-client.h>

#include <list>
#include <optional>

#include "platform/wayland/wayland_connection.h"
#include "wlr-output-management-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace seam {

const char* outcomeText(WlrApplyOutcome outcome) {
    switch (outcome) {
        case WlrApplyOutcome::succeeded:
            return "succeeded";
        case WlrApplyOutcome::failed:
            return "failed";
        case WlrApplyOutcome::cancelled:
            return "cancelled";
        case WlrApplyOutcome::lost:
            return "lost";
    }
    return "?";
}

namespace {
// Newer interface versions only add what we do not use.
constexpr unsigned kManagerVersion = 4;
constexpr unsigned kOutputVersion = 4;
constexpr unsigned kXdgOutputVersion = 3;
// A compositor that does not answer a configuration within this is gone for us.
constexpr int kAnswerTimeoutMs = 5000;
}  // namespace

struct WlrOutputClient::Impl {
    // What the listeners get: the connection and our handle for the object.
    struct Ref {
        Impl* impl = nullptr;
        std::uint32_t key = 0;
        void* proxy = nullptr;
        bool finished = false;
    };
    struct Shown {
        Impl* impl = nullptr;
        std::uint32_t global = 0;
        wl_output* output = nullptr;
        zxdg_output_v1* xdg = nullptr;
        WlrShownOutput pending;
        bool complete = false;  // said its logical place at least once
    };

    WaylandConnection wl;
    zwlr_output_manager_v1* manager = nullptr;
    std::uint32_t managerGlobal = 0;
    unsigned version = 0;
    zxdg_output_manager_v1* xdgManager = nullptr;
    bool managerFinished = false;

    OutputTracker tracker;
    std::uint32_t nextKey = 1;
    std::list<Ref> heads, modes;
    std::list<Shown> outputs;
    std::vector<WlrShownOutput> shown;
    std::function<void()> changed;

    ~Impl();
    Ref& add(std::list<Ref>& refs, void* proxy) {
        refs.push_back({this, nextKey++, proxy});
        return refs.back();
    }
    void changedNow() {
        if (changed) changed();
    }
    void dropFinished();
    void bindOutput(std::uint32_t global, unsigned offered);
    void watchXdg(Shown& s);
    void publishShown();
};

namespace {
using Ref = WlrOutputClient::Impl::Ref;
using Shown = WlrOutputClient::Impl::Shown;

void apply(void* data, const output::Event& e) {
    auto* ref = static_cast<Ref*>(data);
    if (ref->impl->tracker.apply(e)) {
        ref->impl->dropFinished();
        ref->impl->changedNow();
    }
}
std::uint32_t keyOf(void* proxy) {
    auto* ref =
        proxy ? static_cast<Ref*>(wl_proxy_get_user_data(static_cast<wl_proxy*>(proxy))) : nullptr;
    return ref ? ref->key : 0;
}

void modeSize(void* d, zwlr_output_mode_v1*, int32_t w, int32_t h) {
    apply(d, output::ModeSize{static_cast<Ref*>(d)->key, w, h});
}
void modeRefresh(void* d, zwlr_output_mode_v1*, int32_t r) {
    apply(d, output::ModeRefresh{static_cast<Ref*>(d)->key, r});
}
void modePreferred(void* d, zwlr_output_mode_v1*) {
    apply(d, output::ModePreferred{static_cast<Ref*>(d)->key});
}
void modeFinished(void* d, zwlr_output_mode_v1*) {
    static_cast<Ref*>(d)->finished = true;
    apply(d, output::ModeFinished{static_cast<Ref*>(d)->key});
}
const zwlr_output_mode_v1_listener kModeListener = {modeSize, modeRefresh, modePreferred,
                                                    modeFinished};

void headText(void* d, output::TextField f, const char* v) {
    apply(d, output::HeadText{static_cast<Ref*>(d)->key, f, v ? v : ""});
}
void headName(void* d, zwlr_output_head_v1*, const char* v) {
    headText(d, output::TextField::name, v);
}
void headDescription(void* d, zwlr_output_head_v1*, const char* v) {
    headText(d, output::TextField::description, v);
}
void headPhysicalSize(void*, zwlr_output_head_v1*, int32_t, int32_t) {}
void headMode(void* d, zwlr_output_head_v1*, zwlr_output_mode_v1* mode) {
    auto* ref = static_cast<Ref*>(d);
    Ref& m = ref->impl->add(ref->impl->modes, mode);
    zwlr_output_mode_v1_add_listener(mode, &kModeListener, &m);
    apply(d, output::HeadModeAdded{ref->key, m.key});
}
void headEnabled(void* d, zwlr_output_head_v1*, int32_t on) {
    apply(d, output::HeadEnabled{static_cast<Ref*>(d)->key, on != 0});
}
void headCurrentMode(void* d, zwlr_output_head_v1*, zwlr_output_mode_v1* mode) {
    apply(d, output::HeadCurrentMode{static_cast<Ref*>(d)->key, keyOf(mode)});
}
void headPosition(void* d, zwlr_output_head_v1*, int32_t x, int32_t y) {
    apply(d, output::HeadPosition{static_cast<Ref*>(d)->key, x, y});
}
void headTransform(void* d, zwlr_output_head_v1*, int32_t t) {
    apply(d, output::HeadTransform{static_cast<Ref*>(d)->key, t});
}
void headScale(void* d, zwlr_output_head_v1*, wl_fixed_t s) {
    apply(d, output::HeadScale{static_cast<Ref*>(d)->key, wl_fixed_to_double(s)});
}
void headFinished(void* d, zwlr_output_head_v1*) {
    static_cast<Ref*>(d)->finished = true;
    apply(d, output::HeadFinished{static_cast<Ref*>(d)->key});
}
void headMake(void* d, zwlr_output_head_v1*, const char* v) {
    headText(d, output::TextField::make, v);
}
void headModel(void* d, zwlr_output_head_v1*, const char* v) {
    headText(d, output::TextField::model, v);
}
void headSerial(void* d, zwlr_output_head_v1*, const char* v) {
    headText(d, output::TextField::serial, v);
}
void headAdaptiveSync(void*, zwlr_output_head_v1*, uint32_t) {}
const zwlr_output_head_v1_listener kHeadListener = {
    headName,        headDescription, headPhysicalSize, headMode,        headEnabled,
    headCurrentMode, headPosition,    headTransform,    headScale,       headFinished,
    headMake,        headModel,       headSerial,       headAdaptiveSync};

void managerHead(void* d, zwlr_output_manager_v1*, zwlr_output_head_v1* head) {
    auto* impl = static_cast<WlrOutputClient::Impl*>(d);
    Ref& h = impl->add(impl->heads, head);
    zwlr_output_head_v1_add_listener(head, &kHeadListener, &h);
    impl->tracker.apply(output::HeadAdded{h.key});
}
void managerDone(void* d, zwlr_output_manager_v1*, uint32_t serial) {
    auto* impl = static_cast<WlrOutputClient::Impl*>(d);
    impl->tracker.apply(output::Done{serial});
    impl->dropFinished();
    impl->changedNow();
}
void managerFinished(void* d, zwlr_output_manager_v1*) {
    static_cast<WlrOutputClient::Impl*>(d)->managerFinished = true;
}
const zwlr_output_manager_v1_listener kManagerListener = {managerHead, managerDone,
                                                          managerFinished};

void outputGeometry(void* d, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t transform) {
    static_cast<Shown*>(d)->pending.transform = transform;
}
void outputMode(void* d, wl_output*, uint32_t flags, int32_t w, int32_t h, int32_t refresh) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
    auto& p = static_cast<Shown*>(d)->pending;
    p.modeWidth = w;
    p.modeHeight = h;
    p.refresh = refresh;
}
void outputDone(void* d, wl_output*) {
    auto* s = static_cast<Shown*>(d);
    s->impl->publishShown();
}
void outputScale(void*, wl_output*, int32_t) {}
void outputName(void* d, wl_output*, const char* name) {
    static_cast<Shown*>(d)->pending.name = name ? name : "";
}
void outputDescription(void*, wl_output*, const char*) {}
const wl_output_listener kOutputListener = {outputGeometry, outputMode, outputDone,
                                            outputScale,    outputName, outputDescription};

void xdgPosition(void* d, zxdg_output_v1*, int32_t x, int32_t y) {
    auto* s = static_cast<Shown*>(d);
    s->pending.x = x;
    s->pending.y = y;
    s->complete = true;
}
void xdgSize(void* d, zxdg_output_v1*, int32_t w, int32_t h) {
    auto& p = static_cast<Shown*>(d)->pending;
    p.width = w;
    p.height = h;
}
void xdgDone(void* d, zxdg_output_v1*) {
    static_cast<Shown*>(d)->impl->publishShown();
}
void xdgName(void* d, zxdg_output_v1*, const char* name) {
    auto& p = static_cast<Shown*>(d)->pending;
    if (p.name.empty() && name) p.name = name;
}
void xdgDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener kXdgListener = {xdgPosition, xdgSize, xdgDone, xdgName,
                                              xdgDescription};

void registryGlobal(void* d, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
    auto* impl = static_cast<WlrOutputClient::Impl*>(d);
    const std::string_view i(interface);
    if (i == zwlr_output_manager_v1_interface.name && !impl->manager) {
        impl->version = std::min<unsigned>(version, kManagerVersion);
        impl->managerGlobal = name;
        impl->manager = static_cast<zwlr_output_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_output_manager_v1_interface, impl->version));
        zwlr_output_manager_v1_add_listener(impl->manager, &kManagerListener, impl);
    } else if (i == zxdg_output_manager_v1_interface.name && !impl->xdgManager) {
        impl->xdgManager = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface,
                             std::min<unsigned>(version, kXdgOutputVersion)));
        for (Shown& s : impl->outputs) impl->watchXdg(s);
    } else if (i == wl_output_interface.name && version >= 2) {
        impl->bindOutput(name, version);
    }
}
void registryGlobalRemove(void* d, wl_registry*, uint32_t name) {
    auto* impl = static_cast<WlrOutputClient::Impl*>(d);
    for (auto it = impl->outputs.begin(); it != impl->outputs.end(); ++it) {
        if (it->global != name) continue;
        if (it->xdg) zxdg_output_v1_destroy(it->xdg);
        if (wl_output_get_version(it->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(it->output);
        else
            wl_output_destroy(it->output);
        impl->outputs.erase(it);
        impl->publishShown();
        return;
    }
}
const wl_registry_listener kRegistryListener = {registryGlobal, registryGlobalRemove};

struct Answer {
    std::optional<WlrApplyOutcome> outcome;
};
void configSucceeded(void* d, zwlr_output_configuration_v1*) {
    static_cast<Answer*>(d)->outcome = WlrApplyOutcome::succeeded;
}
void configFailed(void* d, zwlr_output_configuration_v1*) {
    static_cast<Answer*>(d)->outcome = WlrApplyOutcome::failed;
}
void configCancelled(void* d, zwlr_output_configuration_v1*) {
    static_cast<Answer*>(d)->outcome = WlrApplyOutcome::cancelled;
}
const zwlr_output_configuration_v1_listener kConfigListener = {configSucceeded, configFailed,
                                                               configCancelled};
}  // namespace

void WlrOutputClient::Impl::bindOutput(std::uint32_t global, unsigned offered) {
    auto* output = static_cast<wl_output*>(wl_registry_bind(
        wl.registry(), global, &wl_output_interface, std::min<unsigned>(offered, kOutputVersion)));
    outputs.push_back({.impl = this, .global = global, .output = output});
    wl_output_add_listener(output, &kOutputListener, &outputs.back());
    watchXdg(outputs.back());
}

void WlrOutputClient::Impl::watchXdg(Shown& s) {
    if (s.xdg || !xdgManager) return;
    s.xdg = zxdg_output_manager_v1_get_xdg_output(xdgManager, s.output);
    zxdg_output_v1_add_listener(s.xdg, &kXdgListener, &s);
}

void WlrOutputClient::Impl::publishShown() {
    std::vector<WlrShownOutput> now;
    for (const Shown& s : outputs)
        if (s.complete && !s.pending.name.empty()) now.push_back(s.pending);
    if (now == shown) return;
    shown = std::move(now);
    changedNow();
}

void WlrOutputClient::Impl::dropFinished() {
    // Finished objects stay until the done that reports them gone, so a
    // configuration never names a destroyed one.
    for (std::list<Ref>* refs : {&modes, &heads}) {
        for (auto it = refs->begin(); it != refs->end();) {
            if (!it->finished) {
                ++it;
                continue;
            }
            if (refs == &modes) {
                auto* m = static_cast<zwlr_output_mode_v1*>(it->proxy);
                if (zwlr_output_mode_v1_get_version(m) >= ZWLR_OUTPUT_MODE_V1_RELEASE_SINCE_VERSION)
                    zwlr_output_mode_v1_release(m);
                else
                    zwlr_output_mode_v1_destroy(m);
            } else {
                auto* h = static_cast<zwlr_output_head_v1*>(it->proxy);
                if (zwlr_output_head_v1_get_version(h) >= ZWLR_OUTPUT_HEAD_V1_RELEASE_SINCE_VERSION)
                    zwlr_output_head_v1_release(h);
                else
                    zwlr_output_head_v1_destroy(h);
            }
            it = refs->erase(it);
        }
    }
}

WlrOutputClient::Impl::~Impl() {
    for (Shown& s : outputs) {
        if (s.xdg) zxdg_output_v1_destroy(s.xdg);
        wl_output_destroy(s.output);
    }
    for (Ref& m : modes) zwlr_output_mode_v1_destroy(static_cast<zwlr_output_mode_v1*>(m.proxy));
    for (Ref& h : heads) zwlr_output_head_v1_destroy(static_cast<zwlr_output_head_v1*>(h.proxy));
    if (xdgManager) zxdg_output_manager_v1_destroy(xdgManager);
    if (manager) {
        zwlr_output_manager_v1_stop(manager);
        zwlr_output_manager_v1_destroy(manager);
    }
}

std::unique_ptr<WlrOutputClient> WlrOutputClient::connect(std::string& whyNot,
                                                          const char* socketName) {
    auto impl = std::make_unique<Impl>();
    if (!impl->wl.open(socketName, kRegistryListener, impl.get(), whyNot)) return nullptr;
    if (!impl->manager) {
        whyNot = "the compositor offers no zwlr_output_manager_v1";
        return nullptr;
    }
    // The heads and outputs, then the outputs' xdg-output places.
    if (!impl->wl.roundtrip() || !impl->wl.roundtrip()) {
        whyNot = "the Wayland connection failed while reading the outputs";
        return nullptr;
    }
    if (!impl->tracker.everDone() || impl->managerFinished) {
        whyNot = "the compositor did not report its outputs";
        return nullptr;
    }
    return std::unique_ptr<WlrOutputClient>(new WlrOutputClient(std::move(impl)));
}

WlrOutputClient::WlrOutputClient(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
WlrOutputClient::~WlrOutputClient() = default;

void WlrOutputClient::refresh() {
    impl_->wl.dispatchFor(0);
}
bool WlrOutputClient::readable() {
    return impl_->wl.readable();
}
bool WlrOutputClient::roundtrip() {
    return impl_->wl.roundtrip();
}
int WlrOutputClient::fd() const {
    return impl_->wl.fd();
}
void WlrOutputClient::onChange(std::function<void()> handler) {
    impl_->changed = std::move(handler);
}
unsigned WlrOutputClient::managerVersion() const {
    return impl_->version;
}
const std::vector<WlrHead>& WlrOutputClient::heads() const {
    return impl_->tracker.heads();
}
const std::vector<WlrShownOutput>& WlrOutputClient::shown() const {
    return impl_->shown;
}

WlrApplyOutcome WlrOutputClient::apply(const std::vector<WlrHeadSetting>& settings, bool testOnly) {
    Impl& m = *impl_;
    if (m.managerFinished || m.wl.lost()) return WlrApplyOutcome::lost;
    auto proxyOf = [](const std::list<Ref>& refs, std::uint32_t key) -> void* {
        for (const Ref& r : refs)
            if (r.key == key && !r.finished) return r.proxy;
        return nullptr;
    };
    Answer answer;
    auto* config = zwlr_output_manager_v1_create_configuration(m.manager, m.tracker.serial());
    zwlr_output_configuration_v1_add_listener(config, &kConfigListener, &answer);
    std::vector<zwlr_output_configuration_head_v1*> made;
    for (const WlrHeadSetting& s : settings) {
        auto* head = static_cast<zwlr_output_head_v1*>(proxyOf(m.heads, s.headKey));
        // A head that went since the state was read: the compositor would cancel anyway.
        if (!head) continue;
        if (!s.enabled) {
            zwlr_output_configuration_v1_disable_head(config, head);
            continue;
        }
        auto* ch = zwlr_output_configuration_v1_enable_head(config, head);
        made.push_back(ch);
        void* mode = s.mode ? proxyOf(m.modes, *s.mode) : nullptr;
        if (mode)
            zwlr_output_configuration_head_v1_set_mode(ch, static_cast<zwlr_output_mode_v1*>(mode));
        else if (s.customSize)
            zwlr_output_configuration_head_v1_set_custom_mode(
                ch, s.customSize->first, s.customSize->second, s.customRefresh);
        zwlr_output_configuration_head_v1_set_position(ch, s.x, s.y);
        zwlr_output_configuration_head_v1_set_transform(ch, s.transform);
        zwlr_output_configuration_head_v1_set_scale(ch, wl_fixed_from_double(s.scale));
    }
    if (testOnly)
        zwlr_output_configuration_v1_test(config);
    else
        zwlr_output_configuration_v1_apply(config);
    m.wl.waitUntil([&] { return answer.outcome.has_value(); }, kAnswerTimeoutMs);
    for (auto* ch : made) zwlr_output_configuration_head_v1_destroy(ch);
    zwlr_output_configuration_v1_destroy(config);
    if (!answer.outcome) return WlrApplyOutcome::lost;
    // The new state follows the answer; take it in before anyone reads.
    if (*answer.outcome == WlrApplyOutcome::succeeded && !testOnly) roundtrip();
    return *answer.outcome;
}

}  // namespace seam
