#include "platform/x11/x11_display_services.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>

#include "base/log.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_screen_state.h"
#include "platform/x11/x11_transaction.h"

namespace seam {

struct X11DisplayServices::Impl {
    std::shared_ptr<X11Connection> connection;
    ScreenStateCache cache;
    ScreenLimits limits;

    Display* display() const { return connection->display(); }
    Window root() const { return connection->root(); }

    // Frame in global display space of an active output.
    std::optional<Rect> frame(const ScreenState& s, RROutput id) const {
        auto r = s.rootRect(id);
        if (!r) return std::nullopt;
        const Point o = s.mainOrigin();
        return Rect{r->x - o.x, r->y - o.y, r->width, r->height};
    }
};

namespace {
// Serialises our configuration against every other client for its duration.
class ServerGrab {
  public:
    explicit ServerGrab(Display* d) : d_(d) { XGrabServer(d_); }
    ~ServerGrab() {
        // Nothing to wait for: whatever others send next comes after it.
        XUngrabServer(d_);
        XFlush(d_);
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;

  private:
    Display* d_;
};
}  // namespace

std::unique_ptr<X11DisplayServices> X11DisplayServices::open(const char* displayName) {
    auto connection = X11Connection::open(displayName);
    if (!connection) return nullptr;
    Display* d = connection->display();
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    // RandR 1.3 brings GetScreenResourcesCurrent and the primary output.
    if (!XRRQueryExtension(d, &eventBase, &errorBase) || !XRRQueryVersion(d, &major, &minor) ||
        major < 1 || (major == 1 && minor < 3))
        return nullptr;
    ScreenLimits limits;
    if (!XRRGetScreenSizeRange(d, connection->root(), &limits.minWidth, &limits.minHeight,
                               &limits.maxWidth, &limits.maxHeight))
        return nullptr;
    const Window root = connection->root();
    auto impl = std::make_unique<Impl>(Impl{std::move(connection), {d, root, eventBase}, limits});
    return std::unique_ptr<X11DisplayServices>(new X11DisplayServices(std::move(impl)));
}

X11DisplayServices::X11DisplayServices(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
X11DisplayServices::~X11DisplayServices() = default;

const std::shared_ptr<X11Connection>& X11DisplayServices::connection() const {
    return impl_->connection;
}

const ScreenState* X11DisplayServices::screenState() {
    return impl_->cache.current();
}

std::vector<Disp> X11DisplayServices::activeDisplays() {
    std::vector<Disp> out;
    const ScreenState* s = impl_->cache.current();
    if (!s) return out;
    for (const OutputState* o : s->active())
        if (auto f = impl_->frame(*s, o->id)) out.push_back({std::uint32_t(o->id), *f});
    return out;
}

std::vector<std::uint32_t> X11DisplayServices::onlineDisplays() {
    std::vector<std::uint32_t> out;
    if (const ScreenState* s = impl_->cache.current())
        for (const OutputState& o : s->outputs)
            if (o.connected) out.push_back(std::uint32_t(o.id));
    return out;
}

std::uint32_t X11DisplayServices::mainDisplay() {
    const ScreenState* s = impl_->cache.current();
    return s ? std::uint32_t(s->mainOutput()) : 0;
}

bool X11DisplayServices::isBuiltin(std::uint32_t id) {
    const ScreenState* s = impl_->cache.current();
    const OutputState* o = s ? s->output(id) : nullptr;
    return o && isBuiltinConnector(o->name);
}

std::optional<std::uint32_t> X11DisplayServices::mirrors(std::uint32_t id) {
    const ScreenState* s = impl_->cache.current();
    if (!s) return std::nullopt;
    if (auto m = s->mirrorOf(id)) return std::uint32_t(*m);
    return std::nullopt;
}

bool X11DisplayServices::configure(const std::vector<DisplayMove>& moves) {
    Display* d = impl_->display();
    if (moves.empty()) return true;

    ServerGrab grab(d);
    // The screen size is asked, not taken from Xlib: whoever dispatches events
    // may have eaten the screen change that would have updated Xlib's copy. It
    // comes back with the state, in the same round trip.
    xcb_connection_t* c = XGetXCBConnection(d);
    const auto sizeCookie = xcb_get_geometry(c, xcb_drawable_t(impl_->root()));
    // Read under the grab: nobody can change it between reading and writing.
    const ScreenState* s = impl_->cache.current();
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> size(
        xcb_get_geometry_reply(c, sizeCookie, nullptr), &std::free);
    if (!s || !size) return false;
    if (s->isXwayland()) {
        log("configure refused: Xwayland only emulates display configuration; "
            "arrange displays in the Wayland compositor's settings");
        return false;
    }
    const ScreenState state = *s;
    const auto plan =
        planConfiguration(state, int(size->width), int(size->height), impl_->limits, moves);
    if (!plan) return false;
    return applyConfiguration(d, impl_->root(), state, *plan, &impl_->cache);
}

Rect X11DisplayServices::toToolkit(const Rect& global) {
    // Qt on X11 places windows in root coordinates.
    const ScreenState* s = impl_->cache.current();
    const Point o = s ? s->mainOrigin() : Point{};
    return {global.x + o.x, global.y + o.y, global.width, global.height};
}

}  // namespace seam
