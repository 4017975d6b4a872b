// The pointer on X11: location and warp in global display space, and a feed of
// XInput2 raw motion and raw button presses from the root window, read on the
// Qt event loop. Raw events reach root windows even under other clients'
// grabs, and their values are taken before screen clipping, so a pointer held
// at an outer edge still reports how hard it is pushed.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/display_services.h"
#include "platform/pointer.h"

class QSocketNotifier;

namespace seam {

class X11Connection;

class X11Pointer : public PointerServices, public PointerFeed {
  public:
    // nullptr without XInput 2.2. services translates global display space to root
    // coordinates and must outlive the pointer.
    static std::unique_ptr<X11Pointer> open(std::shared_ptr<X11Connection> connection,
                                            DisplayServices& services);
    ~X11Pointer() override;
    X11Pointer(const X11Pointer&) = delete;
    X11Pointer& operator=(const X11Pointer&) = delete;

    Point location() override;
    void warp(Point p) override;
    void displaysChanged() override { originKnown_ = false; }

    // Selects the raw events and starts reading them on the Qt event loop;
    // false without a Qt application or when the server refuses.
    bool start() override;
    // Handles the raw events queued or readable now. Other events stay queued
    // for whoever else reads this connection.
    void dispatch();

  private:
    struct Pending;
    X11Pointer(std::shared_ptr<X11Connection> connection, DisplayServices& services, int opcode,
               int randrEventBase);
    Point origin(bool fresh);
    bool queryRoot(Point& root, unsigned& mask);
    bool absoluteSource(int deviceId);

    std::shared_ptr<X11Connection> connection_;
    DisplayServices& services_;
    int opcode_;
    int randrEventBase_;
    Point origin_;
    bool originKnown_ = false;
    bool selected_ = false;
    bool dispatching_ = false;
    Point lastAbsolute_;
    bool haveLastAbsolute_ = false;
    std::vector<std::pair<int, bool>> sources_;  // device id, valuators absolute
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace seam
