#include "platform/wayland/wayland_connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace seam {

WaylandConnection::~WaylandConnection() {
    if (registry_) wl_registry_destroy(registry_);
    if (display_) wl_display_disconnect(display_);
}

bool WaylandConnection::open(const char* socketName, const wl_registry_listener& listener,
                             void* data, std::string& whyNot) {
    if (!socketName && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("WAYLAND_SOCKET")) {
        whyNot = "no Wayland session (WAYLAND_DISPLAY is not set)";
        return false;
    }
    display_ = wl_display_connect(socketName);
    if (!display_) {
        whyNot = "cannot connect to the Wayland compositor";
        return false;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &listener, data);
    if (!roundtrip()) {
        whyNot = "the Wayland connection failed while reading the outputs";
        return false;
    }
    return true;
}

int WaylandConnection::fd() const {
    return wl_display_get_fd(display_);
}

bool WaylandConnection::lost() const {
    return wl_display_get_error(display_) != 0;
}

bool WaylandConnection::dispatchFor(int timeoutMs) {
    // The standard reading sequence: anything queued first, then the socket.
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0) return false;
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display_);
        return false;
    }
    pollfd p{.fd = wl_display_get_fd(display_), .events = POLLIN};
    if (poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN)) {
        if (wl_display_read_events(display_) < 0) return false;
    } else {
        wl_display_cancel_read(display_);
    }
    if (wl_display_dispatch_pending(display_) < 0) return false;
    if (afterRead) afterRead();
    // Handlers may have asked for something (a new output's place): send it now,
    // the event loop will not.
    return wl_display_flush(display_) >= 0 || errno == EAGAIN;
}

bool WaylandConnection::readable() {
    return dispatchFor(0) && !lost();
}

bool WaylandConnection::roundtrip() {
    const bool ok = wl_display_roundtrip(display_) >= 0;
    if (afterRead) afterRead();
    return ok;
}

bool WaylandConnection::waitUntil(const std::function<bool()>& answered, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!answered()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || !dispatchFor(int(left))) return false;
    }
    return true;
}

}  // namespace seam
