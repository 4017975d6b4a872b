#include "platform/x11/x11_pointer.h"

// Qt before Xlib: Xlib's macros (Bool, Status) break Qt's headers.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cmath>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xrandr.h>

#include "platform/x11/x11_connection.h"

namespace seam {

namespace {

void selectRaw(Display* d, Window root, bool on) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) {
        XISetMask(bits, XI_RawMotion);
        XISetMask(bits, XI_RawButtonPress);
    }
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(d, root, &mask, 1);
    XFlush(d);
}

// The first two valuators are x and y; the values are present only where the mask says so.
void rawXY(const XIRawEvent& raw, double& x, double& y) {
    x = y = 0;
    const double* v = raw.valuators.values;
    for (int i = 0; i < raw.valuators.mask_len * 8 && i < 2; ++i) {
        if (!XIMaskIsSet(raw.valuators.mask, i)) continue;
        (i == 0 ? x : y) = *v++;
    }
}

struct Match {
    int opcode;
    int randrEventBase;
    bool randrSeen = false;
};

// Picks our raw events out of the queue; notes RandR changes on the way, since
// they move where global display space starts.
Bool matches(Display*, XEvent* ev, XPointer arg) {
    auto* m = reinterpret_cast<Match*>(arg);
    if (ev->type == GenericEvent) {
        const XGenericEvent& g = ev->xgeneric;
        return g.extension == m->opcode &&
               (g.evtype == XI_RawMotion || g.evtype == XI_RawButtonPress);
    }
    if (m->randrEventBase >= 0 && (ev->type == m->randrEventBase + RRScreenChangeNotify ||
                                   ev->type == m->randrEventBase + RRNotify))
        m->randrSeen = true;
    return False;
}

}  // namespace

std::unique_ptr<X11Pointer> X11Pointer::open(std::shared_ptr<X11Connection> connection,
                                             DisplayServices& services) {
    if (!connection) return nullptr;
    Display* d = connection->display();
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(d, "XInputExtension", &opcode, &event, &error)) return nullptr;
    // 2.2: raw events go to the root window without a grab.
    int major = 2, minor = 2;
    if (XIQueryVersion(d, &major, &minor) != Success || major < 2 || (major == 2 && minor < 2))
        return nullptr;
    int randrEvent = -1, randrError = 0;
    if (!XRRQueryExtension(d, &randrEvent, &randrError)) randrEvent = -1;
    return std::unique_ptr<X11Pointer>(
        new X11Pointer(std::move(connection), services, opcode, randrEvent));
}

X11Pointer::X11Pointer(std::shared_ptr<X11Connection> connection, DisplayServices& services,
                       int opcode, int randrEventBase)
    : connection_(std::move(connection)),
      services_(services),
      opcode_(opcode),
      randrEventBase_(randrEventBase) {}

X11Pointer::~X11Pointer() {
    notifier_.reset();
    // The connection is shared and outlives us: stop the server sending what nobody reads.
    if (selected_) selectRaw(connection_->display(), connection_->root(), false);
}

Point X11Pointer::origin(bool fresh) {
    if (fresh || !originKnown_) {
        const Rect r = services_.toToolkit({0, 0, 0, 0});
        origin_ = {r.x, r.y};
        originKnown_ = true;
    }
    return origin_;
}

bool X11Pointer::queryRoot(Point& root, unsigned& mask) {
    Window rootReturn = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    mask = 0;
    if (!XQueryPointer(connection_->display(), connection_->root(), &rootReturn, &child, &rx, &ry,
                       &wx, &wy, &mask))
        return false;  // on another screen of the server
    root = {double(rx), double(ry)};
    return true;
}

Point X11Pointer::location() {
    Point root;
    unsigned mask = 0;
    if (!queryRoot(root, mask)) return {};
    const Point o = origin(true);
    return {root.x - o.x, root.y - o.y};
}

void X11Pointer::warp(Point p) {
    const Point o = origin(true);
    Display* d = connection_->display();
    XWarpPointer(d, 0, connection_->root(), 0, 0, 0, 0, int(std::lround(p.x + o.x)),
                 int(std::lround(p.y + o.y)));
    // Waits until the server has moved it, so nothing that follows, from this or any
    // other client, still sees the pointer at its old place.
    XSync(d, False);
}

bool X11Pointer::start() {
    if (notifier_) return true;
    if (!QCoreApplication::instance()) return false;
    Display* d = connection_->display();
    selectRaw(d, connection_->root(), true);
    selected_ = true;
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(d), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { dispatch(); });
    // Other users of the connection may have read our events into Xlib's queue,
    // where the socket no longer signals them: look before the loop sleeps.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, notifier_.get(),
                         [this] {
                             if (XEventsQueued(connection_->display(), QueuedAlready) > 0)
                                 dispatch();
                         });
    return true;
}

bool X11Pointer::absoluteSource(int deviceId) {
    for (const auto& [id, absolute] : sources_)
        if (id == deviceId) return absolute;
    bool absolute = false;
    int n = 0;
    if (XIDeviceInfo* info = XIQueryDevice(connection_->display(), deviceId, &n)) {
        for (int c = 0; c < info->num_classes; ++c) {
            const auto* v = reinterpret_cast<const XIValuatorClassInfo*>(info->classes[c]);
            if (v->type == XIValuatorClass && v->number == 0) absolute = v->mode == XIModeAbsolute;
        }
        XIFreeDeviceInfo(info);
    }
    sources_.emplace_back(deviceId, absolute);
    return absolute;
}

void X11Pointer::dispatch() {
    // A handler that runs a nested event loop must not start a second dispatch.
    if (dispatching_) return;
    dispatching_ = true;
    Display* d = connection_->display();
    XEventsQueued(d, QueuedAfterReading);
    bool moved = false, absolute = false;
    double sumX = 0, sumY = 0;
    // Events read together share one pointer location: report them as one motion.
    auto flush = [&] {
        if (!moved) return;
        moved = false;
        Point root;
        unsigned mask = 0;
        if (queryRoot(root, mask)) {
            const Point o = origin(false);
            const Point p{root.x - o.x, root.y - o.y};
            if (absolute) {
                // Tablets and touch screens report positions, not motion.
                sumX = haveLastAbsolute_ ? p.x - lastAbsolute_.x : 0;
                sumY = haveLastAbsolute_ ? p.y - lastAbsolute_.y : 0;
            }
            lastAbsolute_ = p;
            haveLastAbsolute_ = true;
            if (onMotion) onMotion(p, sumX, sumY, (mask & Button1Mask) != 0);
        }
        sumX = sumY = 0;
        absolute = false;
    };
    Match match{opcode_, randrEventBase_};
    XEvent ev;
    while (XCheckIfEvent(d, &ev, matches, reinterpret_cast<XPointer>(&match))) {
        if (match.randrSeen) originKnown_ = false;
        XGenericEventCookie* cookie = &ev.xcookie;
        if (!XGetEventData(d, cookie)) continue;
        const auto& raw = *static_cast<const XIRawEvent*>(cookie->data);
        if (cookie->evtype == XI_RawMotion) {
            double x = 0, y = 0;
            rawXY(raw, x, y);
            if (absoluteSource(raw.sourceid)) {
                absolute = true;
            } else {
                sumX += x;
                sumY += y;
            }
            moved = true;
        } else if (cookie->evtype == XI_RawButtonPress && raw.detail == Button1) {
            flush();
            Point root;
            unsigned mask = 0;
            if (queryRoot(root, mask) && onLeftPress) {
                const Point o = origin(false);
                onLeftPress({root.x - o.x, root.y - o.y});
            }
        }
        XFreeEventData(d, cookie);
    }
    if (match.randrSeen) originKnown_ = false;
    flush();
    dispatching_ = false;
}

}  // namespace seam
