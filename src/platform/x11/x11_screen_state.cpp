#include "platform/x11/x11_screen_state.h"

#include <memory>

namespace seam {

namespace {
struct ResourcesDeleter {
    void operator()(XRRScreenResources* r) const { XRRFreeScreenResources(r); }
};
using Resources = std::unique_ptr<XRRScreenResources, ResourcesDeleter>;

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::optional<ScreenState> readWith(Display* display, XRRScreenResources* res, Window root) {
    ScreenState s;
    s.timestamp = res->timestamp;
    s.configTimestamp = res->configTimestamp;
    for (int i = 0; i < res->ncrtc; ++i) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, res, res->crtcs[i]);
        if (!info) return std::nullopt;
        CrtcState c{.id = res->crtcs[i],
                    .x = info->x,
                    .y = info->y,
                    .width = info->width,
                    .height = info->height,
                    .mode = info->mode,
                    .rotation = info->rotation,
                    .outputs = std::vector<RROutput>(info->outputs, info->outputs + info->noutput)};
        XRRFreeCrtcInfo(info);
        s.crtcs.push_back(std::move(c));
    }
    for (int i = 0; i < res->noutput; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(display, res, res->outputs[i]);
        if (!info) return std::nullopt;
        s.outputs.push_back({.id = res->outputs[i],
                             .name = std::string(info->name, info->nameLen),
                             .connected = info->connection == RR_Connected,
                             .crtc = info->crtc});
        XRRFreeOutputInfo(info);
    }
    s.primary = XRRGetOutputPrimary(display, root);
    return s;
}
}  // namespace

const CrtcState* ScreenState::crtc(RRCrtc id) const {
    for (const CrtcState& c : crtcs)
        if (c.id == id) return &c;
    return nullptr;
}

const OutputState* ScreenState::output(RROutput id) const {
    for (const OutputState& o : outputs)
        if (o.id == id) return &o;
    return nullptr;
}

std::vector<const OutputState*> ScreenState::active() const {
    std::vector<const OutputState*> out;
    for (const OutputState& o : outputs) {
        if (!o.connected || o.crtc == 0) continue;
        const CrtcState* c = crtc(o.crtc);
        if (c && c->mode != 0) out.push_back(&o);
    }
    return out;
}

RROutput ScreenState::mainOutput() const {
    const auto list = active();
    for (const OutputState* o : list)
        if (o->id == primary) return o->id;
    return list.empty() ? 0 : list.front()->id;
}

Point ScreenState::mainOrigin() const {
    const auto r = rootRect(mainOutput());
    return r ? r->origin() : Point{};
}

std::optional<Rect> ScreenState::rootRect(RROutput id) const {
    const OutputState* o = output(id);
    if (!o || o->crtc == 0) return std::nullopt;
    const CrtcState* c = crtc(o->crtc);
    if (!c || c->mode == 0) return std::nullopt;
    return Rect{double(c->x), double(c->y), double(c->width), double(c->height)};
}

std::optional<RROutput> ScreenState::mirrorOf(RROutput id) const {
    const auto list = active();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i]->id != id) continue;
        const auto mine = rootRect(id);
        for (std::size_t j = 0; j < i; ++j)
            if (list[j]->crtc == list[i]->crtc || rootRect(list[j]->id) == mine) return list[j]->id;
        return std::nullopt;
    }
    return std::nullopt;
}

bool ScreenState::isXwayland() const {
    for (const OutputState& o : outputs)
        if (startsWith(o.name, "XWAYLAND")) return true;
    return false;
}

std::optional<ScreenState> readScreenState(Display* display, Window root, bool reprobe) {
    // A full probe can stall the server for seconds; only on explicit request.
    Resources res(reprobe ? XRRGetScreenResources(display, root)
                          : XRRGetScreenResourcesCurrent(display, root));
    if (!res) return std::nullopt;
    return readWith(display, res.get(), root);
}

ScreenStateCache::ScreenStateCache(Display* display, Window root, int randrEventBase)
    : display_(display), root_(root), eventBase_(randrEventBase) {
    XRRSelectInput(display_, root_,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
}

bool ScreenStateCache::drainEvents() {
    auto isRandr = [](Display*, XEvent* ev, XPointer base) -> Bool {
        const int b = *reinterpret_cast<int*>(base);
        return ev->type == b + RRScreenChangeNotify || ev->type == b + RRNotify;
    };
    bool any = false;
    XEvent ev;
    while (XCheckIfEvent(display_, &ev, isRandr, reinterpret_cast<XPointer>(&eventBase_))) {
        XRRUpdateConfiguration(&ev);  // keeps Xlib's screen size and millimetres current
        any = true;
    }
    return any;
}

const ScreenState* ScreenStateCache::current() {
    Resources res(XRRGetScreenResourcesCurrent(display_, root_));
    if (!res) return nullptr;
    // Events of earlier changes by others were queued before this reply.
    if (drainEvents()) state_.reset();
    if (state_ && state_->timestamp == res->timestamp &&
        state_->configTimestamp == res->configTimestamp) {
        // The primary output changes without touching either timestamp.
        state_->primary = XRRGetOutputPrimary(display_, root_);
        return &*state_;
    }
    state_ = readWith(display_, res.get(), root_);
    return state_ ? &*state_ : nullptr;
}

void ScreenStateCache::adoptOwnChange(ScreenState state) {
    Resources res(XRRGetScreenResourcesCurrent(display_, root_));
    drainEvents();
    if (!res) {
        state_.reset();
        return;
    }
    state.timestamp = res->timestamp;
    state.configTimestamp = res->configTimestamp;
    state_ = std::move(state);
}

}  // namespace seam
