#include "platform/x11/x11_screen_state.h"

#include <X11/Xlib-xcb.h>
#include <xcb/randr.h>

#include <cstdlib>
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

template <class Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <class Reply>
Owned<Reply> own(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

// Every CRTC and output asked for at once and the answers collected after: one
// round trip where asking one by one takes one each.
std::optional<ScreenState> readWith(Display* display, XRRScreenResources* res, Window root) {
    xcb_connection_t* c = XGetXCBConnection(display);
    const xcb_timestamp_t at = xcb_timestamp_t(res->configTimestamp);
    std::vector<xcb_randr_get_crtc_info_cookie_t> crtcCookies;
    for (int i = 0; i < res->ncrtc; ++i)
        crtcCookies.push_back(xcb_randr_get_crtc_info(c, xcb_randr_crtc_t(res->crtcs[i]), at));
    std::vector<xcb_randr_get_output_info_cookie_t> outputCookies;
    for (int i = 0; i < res->noutput; ++i)
        outputCookies.push_back(
            xcb_randr_get_output_info(c, xcb_randr_output_t(res->outputs[i]), at));
    const auto primaryCookie = xcb_randr_get_output_primary(c, xcb_window_t(root));

    ScreenState s;
    s.timestamp = res->timestamp;
    s.configTimestamp = res->configTimestamp;
    bool complete = true;  // every answer is still collected, so none is left queued
    for (int i = 0; i < res->ncrtc; ++i) {
        const auto info =
            own(xcb_randr_get_crtc_info_reply(c, crtcCookies[std::size_t(i)], nullptr));
        if (!info) {
            complete = false;
            continue;
        }
        const xcb_randr_output_t* outputs = xcb_randr_get_crtc_info_outputs(info.get());
        const int count = xcb_randr_get_crtc_info_outputs_length(info.get());
        s.crtcs.push_back({.id = res->crtcs[i],
                           .x = info->x,
                           .y = info->y,
                           .width = info->width,
                           .height = info->height,
                           .mode = info->mode,
                           .rotation = Rotation(info->rotation),
                           .outputs = std::vector<RROutput>(outputs, outputs + count)});
    }
    for (int i = 0; i < res->noutput; ++i) {
        const auto info =
            own(xcb_randr_get_output_info_reply(c, outputCookies[std::size_t(i)], nullptr));
        if (!info) {
            complete = false;
            continue;
        }
        const char* name =
            reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get()));
        s.outputs.push_back({.id = res->outputs[i],
                             .name = std::string(name, std::size_t(info->name_len)),
                             .connected = info->connection == XCB_RANDR_CONNECTION_CONNECTED,
                             .crtc = info->crtc});
    }
    const auto primary = own(xcb_randr_get_output_primary_reply(c, primaryCookie, nullptr));
    if (!complete || !primary) return std::nullopt;
    s.primary = primary->output;
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
    // The primary output changes without touching either timestamp: asked
    // every time, along with the resources, in the same round trip.
    xcb_connection_t* c = XGetXCBConnection(display_);
    const auto primaryCookie = xcb_randr_get_output_primary(c, xcb_window_t(root_));
    Resources res(XRRGetScreenResourcesCurrent(display_, root_));
    const auto primary = own(xcb_randr_get_output_primary_reply(c, primaryCookie, nullptr));
    if (!res || !primary) return nullptr;
    // Events of earlier changes by others were queued before this reply.
    if (drainEvents()) state_.reset();
    if (state_ && state_->timestamp == res->timestamp &&
        state_->configTimestamp == res->configTimestamp) {
        state_->primary = primary->output;
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
