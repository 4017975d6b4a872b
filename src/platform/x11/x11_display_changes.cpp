#include "platform/x11/x11_display_changes.h"

// Qt before Xlib: Xlib's macros (Bool, Status) break Qt's headers.
#include <QCoreApplication>
#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_screen_state.h"

namespace seam {

DisplaySnapshot snapshotOf(const ScreenState& state) {
    DisplaySnapshot s;
    const Point o = state.mainOrigin();
    for (const OutputState& out : state.outputs) {
        if (!out.connected) continue;
        DisplayState d{.id = std::uint32_t(out.id)};
        if (const auto r = state.rootRect(out.id)) {
            d.active = true;
            d.frame = {r->x - o.x, r->y - o.y, r->width, r->height};
            if (const auto m = state.mirrorOf(out.id)) d.mirrorOf = std::uint32_t(*m);
        }
        s.displays.push_back(d);
    }
    s.main = std::uint32_t(state.mainOutput());
    return s;
}

std::unique_ptr<X11DisplayChanges> X11DisplayChanges::open(const char* displayName) {
    auto connection = X11Connection::open(displayName);
    if (!connection) return nullptr;
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(connection->display(), &eventBase, &errorBase)) return nullptr;
    return std::unique_ptr<X11DisplayChanges>(
        new X11DisplayChanges(std::move(connection), eventBase));
}

X11DisplayChanges::X11DisplayChanges(std::shared_ptr<X11Connection> connection, int eventBase)
    : connection_(std::move(connection)), eventBase_(eventBase) {}

X11DisplayChanges::~X11DisplayChanges() = default;

bool X11DisplayChanges::read(DisplaySnapshot& out) {
    const auto state = readScreenState(connection_->display(), connection_->root());
    if (!state) return false;
    out = snapshotOf(*state);
    // Another monitor on the same connector shows only in its EDID.
    for (DisplayState& d : out.displays) d.edid = edidProperty(connection_->display(), d.id);
    return true;
}

int X11DisplayChanges::registerCallback(Callback callback) {
    if (!QCoreApplication::instance()) return registrationFailed;
    Display* d = connection_->display();
    XRRSelectInput(d, connection_->root(),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask |
                       RROutputPropertyNotifyMask);
    // Selected before reading, so no change falls between the two. Events that
    // came in with the replies are of changes the snapshot already shows.
    if (!read(last_)) return registrationFailed;
    for (XEvent ev; XEventsQueued(d, QueuedAlready) > 0;) XNextEvent(d, &ev);
    edidAtom_ = XInternAtom(d, "EDID", False);
    callback_ = std::move(callback);
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(d), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { dispatch(); });
    return 0;
}

void X11DisplayChanges::dispatch() {
    Display* d = connection_->display();
    // Reading the state reads the socket too: events that came in meanwhile are
    // already queued, where the notifier no longer sees them.
    while (XPending(d) > 0) {
        bool randr = false;
        while (XEventsQueued(d, QueuedAfterReading) > 0) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type != eventBase_ + RRScreenChangeNotify && ev.type != eventBase_ + RRNotify)
                continue;
            // Of the properties only the EDID tells anything (a backlight sends
            // one event per step).
            const auto* n = reinterpret_cast<const XRRNotifyEvent*>(&ev);
            if (ev.type == eventBase_ + RRNotify && n->subtype == RRNotify_OutputProperty &&
                reinterpret_cast<const XRROutputPropertyNotifyEvent*>(&ev)->property != edidAtom_)
                continue;
            XRRUpdateConfiguration(&ev);
            randr = true;
        }
        DisplaySnapshot now;
        if (!randr || !read(now)) continue;
        const std::vector<DisplayChange> changes = diffSnapshots(last_, now);
        last_ = std::move(now);
        for (const DisplayChange& c : changes)
            if (callback_) callback_(c.display, c.flags);
    }
}

}  // namespace seam
