// Display services on X11 with RandR: the real window server behind the
// arrangement. Global display space is root coordinates minus the main
// display's CRTC origin, so the main display is always at (0,0).
#pragma once

#include <memory>

#include "platform/display_services.h"

namespace seam {

class X11Connection;
struct ScreenState;

class X11DisplayServices : public DisplayServices {
  public:
    // nullptr when the display cannot be opened or has no usable RandR.
    static std::unique_ptr<X11DisplayServices> open(const char* displayName = nullptr);
    ~X11DisplayServices() override;

    std::vector<Disp> activeDisplays() override;
    std::vector<std::uint32_t> onlineDisplays() override;
    std::uint32_t mainDisplay() override;
    bool isBuiltin(std::uint32_t id) override;
    std::optional<std::uint32_t> mirrors(std::uint32_t id) override;
    bool configure(const std::vector<DisplayMove>& moves) override;
    Rect toToolkit(const Rect& global) override;

    // The Xlib connection, for backends that share it (pointer, hot keys).
    const std::shared_ptr<X11Connection>& connection() const;
    // The current RandR snapshot (outputs, names, CRTCs), for the identity backend.
    const ScreenState* screenState();

    struct Impl;

  private:
    explicit X11DisplayServices(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace seam
