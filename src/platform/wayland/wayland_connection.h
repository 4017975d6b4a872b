// One connection to a Wayland compositor, read on the calling thread: the
// owner either feeds readable() into its event loop or calls dispatchFor()
// before reading. Objects bound through the registry belong to the owner and
// must be destroyed before the connection.
#pragma once

#include <functional>
#include <string>

struct wl_display;
struct wl_registry;
struct wl_registry_listener;

namespace seam {

class WaylandConnection {
  public:
    WaylandConnection() = default;
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    // Connects (socketName nullptr: the session's WAYLAND_DISPLAY) and waits
    // until the listener has seen every global; false with the reason.
    bool open(const char* socketName, const wl_registry_listener& listener, void* data,
              std::string& whyNot);
    wl_display* display() const { return display_; }
    wl_registry* registry() const { return registry_; }
    int fd() const;
    bool lost() const;

    // Handles what is queued and what arrives within the time; false once the
    // connection is lost.
    bool dispatchFor(int timeoutMs);
    // Reads and handles what has arrived; false once the connection is lost.
    bool readable();
    // Waits until the compositor has answered everything sent so far.
    bool roundtrip();
    // Reads until answered() holds; false when the compositor did not answer
    // in time or the connection was lost.
    bool waitUntil(const std::function<bool()>& answered, int timeoutMs);
    // Runs after every read, once the events it brought are handled.
    std::function<void()> afterRead;

  private:
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
};

}  // namespace seam
