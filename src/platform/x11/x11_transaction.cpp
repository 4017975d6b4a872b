#include "platform/x11/x11_transaction.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/x11/x11_error_trap.h"
// After Xlib.
#include <X11/Xlib-xcb.h>
#include <xcb/randr.h>

namespace seam {

namespace {

struct IntRect {
    long long x, y, w, h;
};

int millimetres(int pixels, int refPixels, int refMm) {
    // Keep the current density; a server that reports no size gets 96 dpi.
    if (refPixels <= 0 || refMm <= 0) return int(std::lround(pixels * 25.4 / 96.0));
    return int(std::lround(double(pixels) * refMm / refPixels));
}

}  // namespace

std::optional<ConfigPlan> planConfiguration(const ScreenState& state, int screenWidth,
                                            int screenHeight, const ScreenLimits& limits,
                                            const std::vector<DisplayMove>& moves) {
    const Point origin = state.mainOrigin();
    // Global rectangle of every active CRTC, before and after; a CRTC shared by
    // mirrored outputs moves once.
    std::map<RRCrtc, IntRect> was;
    for (const OutputState* o : state.active()) {
        const CrtcState* c = state.crtc(o->crtc);
        was.emplace(c->id, IntRect{c->x - std::llround(origin.x), c->y - std::llround(origin.y),
                                   c->width, c->height});
    }
    std::map<RRCrtc, IntRect> rects = was;
    RROutput atZero = 0;
    for (const DisplayMove& m : moves) {
        const OutputState* o = state.output(m.id);
        if (!o || !was.count(o->crtc)) return std::nullopt;
        // A mirror shows the same rectangle on a CRTC of its own: it goes along.
        const IntRect from = was[o->crtc];
        for (auto& [id, r] : rects) {
            const IntRect& w = was[id];
            if (w.x == from.x && w.y == from.y && w.w == from.w && w.h == from.h)
                r.x = m.x, r.y = m.y;
        }
        if (m.x == 0 && m.y == 0) atZero = m.id;
    }
    if (rects.empty()) return std::nullopt;
    // Root coordinates cannot be negative: shift the whole arrangement.
    long long minX = LLONG_MAX, minY = LLONG_MAX, maxX = LLONG_MIN, maxY = LLONG_MIN;
    for (const auto& [id, r] : rects) {
        minX = std::min(minX, r.x);
        minY = std::min(minY, r.y);
        maxX = std::max(maxX, r.x + r.w);
        maxY = std::max(maxY, r.y + r.h);
    }
    long long finalW = maxX - minX, finalH = maxY - minY;
    // A CRTC still lit for an output that is gone (unplugged with nobody to
    // switch it off) is left where it is: setting it again may be refused now
    // that its output has no modes. The screen must still hold it.
    for (const CrtcState& c : state.crtcs) {
        if (c.mode == 0 || was.count(c.id)) continue;
        finalW = std::max<long long>(finalW, c.x + c.width);
        finalH = std::max<long long>(finalH, c.y + c.height);
    }
    const long long growW = std::max<long long>(finalW, screenWidth);
    const long long growH = std::max<long long>(finalH, screenHeight);
    if (growW > limits.maxWidth || growH > limits.maxHeight) return std::nullopt;

    ConfigPlan plan;
    plan.oldWidth = screenWidth;
    plan.oldHeight = screenHeight;
    plan.width = int(growW);
    plan.height = int(growH);
    plan.finalWidth = int(std::max<long long>(finalW, limits.minWidth));
    plan.finalHeight = int(std::max<long long>(finalH, limits.minHeight));
    plan.primary = atZero ? atZero : state.mainOutput();
    for (const CrtcState& c : state.crtcs) {  // CRTC order keeps the steps predictable
        auto it = rects.find(c.id);
        if (it == rects.end()) continue;
        const int x = int(it->second.x - minX), y = int(it->second.y - minY);
        if (x != c.x || y != c.y) plan.moves.push_back({c.id, x, y});
    }
    return plan;
}

std::optional<RootPoint> pointerAfter(const ScreenState& state, const ConfigPlan& plan,
                                      RootPoint pointer) {
    const CrtcState* under = nullptr;
    for (const OutputState* o : state.active()) {
        const CrtcState* c = state.crtc(o->crtc);
        if (pointer.x >= c->x && pointer.x < c->x + int(c->width) && pointer.y >= c->y &&
            pointer.y < c->y + int(c->height)) {
            under = c;
            break;
        }
    }
    if (!under) {
        const OutputState* main = state.output(state.mainOutput());
        under = main ? state.crtc(main->crtc) : nullptr;
    }
    if (!under) return std::nullopt;
    for (const CrtcMove& m : plan.moves)
        if (m.crtc == under->id)
            return RootPoint{pointer.x + m.x - under->x, pointer.y + m.y - under->y};
    return std::nullopt;
}

bool applyConfiguration(Display* display, Window root, const ScreenState& state,
                        const ConfigPlan& plan, ScreenStateCache* cache, const FaultHook& fault) {
    const int oldW = plan.oldWidth;
    const int oldH = plan.oldHeight;
    // Xlib's own pair, kept current by the drained events, gives the density.
    const int refW = DisplayWidth(display, DefaultScreen(display));
    const int refH = DisplayHeight(display, DefaultScreen(display));
    const int oldWmm = DisplayWidthMM(display, DefaultScreen(display));
    const int oldHmm = DisplayHeightMM(display, DefaultScreen(display));
    auto setSize = [&](int w, int h) {
        XRRSetScreenSize(display, root, w, h, millimetres(w, refW, oldWmm),
                         millimetres(h, refH, oldHmm));
    };
    // XRRSetCrtcConfig only reads the configuration timestamp from the resources.
    XRRScreenResources res{};
    res.configTimestamp = state.configTimestamp;
    auto setCrtc = [&](const CrtcState& c, int x, int y) {
        std::vector<RROutput> outputs = c.outputs;
        return XRRSetCrtcConfig(display, &res, c.id, CurrentTime, x, y, c.mode, c.rotation,
                                outputs.data(), int(outputs.size())) == RRSetConfigSuccess;
    };

    // Everything goes out at once and the answers are collected after the
    // last one: one round trip for the whole change. A step the server refuses
    // does not stop the later ones, so all that went out are undone.
    X11ErrorTrap trap(display);
    xcb_connection_t* xc = XGetXCBConnection(display);
    // Asked before anything moves: the server may push the pointer around
    // while the screen shrinks.
    const auto pointerCookie = xcb_query_pointer(xc, xcb_window_t(root));
    std::vector<xcb_void_cookie_t> steps;
    auto sendSize = [&](int w, int h) {
        steps.push_back(xcb_randr_set_screen_size_checked(
            xc, xcb_window_t(root), std::uint16_t(w), std::uint16_t(h),
            std::uint32_t(millimetres(w, refW, oldWmm)),
            std::uint32_t(millimetres(h, refH, oldHmm))));
    };
    bool ok = true;
    if (plan.width != oldW || plan.height != oldH) sendSize(plan.width, plan.height);
    std::vector<xcb_randr_set_crtc_config_cookie_t> sets;
    for (std::size_t i = 0; i < plan.moves.size(); ++i) {
        if (fault && !fault(i)) {
            ok = false;
            break;
        }
        const CrtcMove& m = plan.moves[i];
        const CrtcState& c = *state.crtc(m.crtc);
        std::vector<xcb_randr_output_t> outputs(c.outputs.begin(), c.outputs.end());
        sets.push_back(xcb_randr_set_crtc_config(
            xc, xcb_randr_crtc_t(c.id), XCB_CURRENT_TIME, xcb_timestamp_t(state.configTimestamp),
            std::int16_t(m.x), std::int16_t(m.y), xcb_randr_mode_t(c.mode),
            std::uint16_t(c.rotation), std::uint32_t(outputs.size()), outputs.data()));
    }
    if (ok && (plan.finalWidth != plan.width || plan.finalHeight != plan.height))
        sendSize(plan.finalWidth, plan.finalHeight);
    if (ok && plan.primary != state.primary)
        steps.push_back(xcb_randr_set_output_primary_checked(xc, xcb_window_t(root),
                                                             xcb_randr_output_t(plan.primary)));
    if (ok && cache) {
        // Still under the grab, so nobody else changed anything: the old
        // snapshot with our moves is the server's state now. Its new
        // timestamps are the one answer waited for.
        ScreenState next = state;
        for (const CrtcMove& m : plan.moves)
            for (CrtcState& c : next.crtcs)
                if (c.id == m.crtc) c.x = m.x, c.y = m.y;
        next.primary = plan.primary;
        cache->adoptOwnChange(std::move(next));
    }
    const std::size_t changed = sets.size();
    for (const auto& cookie : sets) {
        xcb_generic_error_t* error = nullptr;
        std::unique_ptr<xcb_randr_set_crtc_config_reply_t, decltype(&std::free)> reply(
            xcb_randr_set_crtc_config_reply(xc, cookie, &error), &std::free);
        if (!reply || error || reply->status != XCB_RANDR_SET_CONFIG_SUCCESS) ok = false;
        std::free(error);
    }
    for (const auto& cookie : steps) {
        if (xcb_generic_error_t* error = xcb_request_check(xc, cookie)) {
            ok = false;
            std::free(error);
        }
    }
    std::optional<RootPoint> pointer;
    if (auto* p = xcb_query_pointer_reply(xc, pointerCookie, nullptr)) {
        pointer = RootPoint{p->root_x, p->root_y};
        std::free(p);
    }
    ok = ok && !trap.failed();
    if (ok) {
        // A pointer left where it was is no reason to undo the move; the trap
        // still catches whatever the warp raises.
        if (const auto to = pointer ? pointerAfter(state, plan, *pointer) : std::nullopt)
            XWarpPointer(display, None, root, 0, 0, 0, 0, to->x, to->y);
        return true;
    }

    // Undo in reverse order; keep going whatever fails so as much as possible is back.
    trap.clear();
    setSize(plan.width, plan.height);  // holds both arrangements, whatever step failed
    for (std::size_t i = changed; i-- > 0;) {
        const CrtcState& c = *state.crtc(plan.moves[i].crtc);
        setCrtc(c, c.x, c.y);
    }
    setSize(oldW, oldH);
    if (plan.primary != state.primary && state.primary != 0)
        XRRSetOutputPrimary(display, root, state.primary);
    trap.failed();
    if (cache) cache->invalidate();
    return false;
}

}  // namespace seam
