// The X11 backend: RandR display services and identity, RandR change events,
// the XInput2 pointer feed with warp, key grabs and the tray host's colours.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace seam {

class X11DisplayServices;
class X11DisplayIdentity;
class X11DisplayChanges;
class X11Pointer;
class X11HotKeys;

class X11Platform : public Platform {
  public:
    // Display services and identity only, for the jobs that run without an
    // event loop; nullptr with the reason in why.
    static std::unique_ptr<X11Platform> openDisplays(std::string& why);
    // Everything the tray application uses; needs the Qt application.
    static std::unique_ptr<X11Platform> open(std::string& why);
    ~X11Platform() override;

    std::string_view name() const override { return "x11"; }
    DisplayServices& displays() override;
    DisplayIdentitySource& identity() override;
    PointerServices& pointer() override;
    DisplayChangeSource* displayChanges() override;
    PointerFeed* pointerFeed() override;
    HotKeyService* hotKeys() override;
    TrayColourSource* trayColours() override { return trayColours_.get(); }
    std::unique_ptr<ScreenBackdrop> backdrop(unsigned long window, const Rect& root,
                                             double dim) override;

  private:
    X11Platform();

    std::unique_ptr<X11DisplayServices> services_;
    std::unique_ptr<X11DisplayIdentity> identity_;
    std::unique_ptr<X11Pointer> pointer_;
    std::unique_ptr<PointerServices> noPointer_;
    std::unique_ptr<X11DisplayChanges> changes_;
    std::unique_ptr<X11HotKeys> hotKeys_;
    std::unique_ptr<TrayColourSource> trayColours_;
};

}  // namespace seam
