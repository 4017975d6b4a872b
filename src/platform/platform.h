// One display system as the program uses it: the display services, monitor
// identity and change events every backend has, and the optional services a
// backend may lack (nullptr), which the program then does without.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/display_changes.h"
#include "platform/display_identity.h"
#include "platform/display_services.h"
#include "platform/hot_keys.h"
#include "platform/login_item.h"
#include "platform/pointer.h"
#include "platform/root_pixels.h"
#include "platform/tray_colours.h"
#include "platform/wake.h"

namespace seam {

class Platform {
  public:
    virtual ~Platform() = default;

    // "x11", "wlroots", "gnome", "kwin"; the log and --dump-displays show it.
    virtual std::string_view name() const = 0;
    virtual DisplayServices& displays() = 0;
    virtual DisplayIdentitySource& identity() = 0;
    // Location always; warp where canWarp() says so.
    virtual PointerServices& pointer() = 0;

    virtual DisplayChangeSource* displayChanges() { return nullptr; }
    virtual PointerFeed* pointerFeed() { return nullptr; }
    virtual HotKeyService* hotKeys() { return nullptr; }
    virtual TrayColourSource* trayColours() { return nullptr; }
    // Whether our windows go where we put them. Under Wayland the compositor
    // places them: a window asks for a monitor only by going full screen on it.
    virtual bool placesWindows() const { return true; }
    // Whether a window can be made to cover exactly one monitor, placed or full
    // screen on it: align mode needs one per monitor.
    virtual bool coversOutputs() const { return true; }
    // A window's dimmed picture of the screen beneath it (root pixels), kept by
    // the window system; nothing where the backend cannot, and the overlay then
    // draws its own.
    virtual std::unique_ptr<ScreenBackdrop> backdrop(unsigned long /*window*/, const Rect& /*root*/,
                                                     double /*dim*/) {
        return nullptr;
    }
    // Login item and wake are the session's rather than the display system's:
    // whoever opens the platform hands them in, a backend may offer its own.
    virtual LoginItemService* loginItem() { return loginItem_.get(); }
    virtual WakeSource* wake() { return wake_.get(); }
    void setSessionServices(std::unique_ptr<LoginItemService> loginItem,
                            std::unique_ptr<WakeSource> wake) {
        loginItem_ = std::move(loginItem);
        wake_ = std::move(wake);
    }

  private:
    std::unique_ptr<LoginItemService> loginItem_;
    std::unique_ptr<WakeSource> wake_;
};

// What a platform can do, as the program switches its parts on and off.
struct Abilities {
    bool displayChanges = true;
    bool pointerFeed = true;
    bool warp = true;
    bool hotKeys = true;
    bool loginItem = true;
    bool wake = true;
    bool placeWindows = true;
    bool coverOutputs = true;
    bool operator==(const Abilities&) const = default;
};

Abilities abilitiesOf(Platform& platform);

// The one log line naming what is switched off, e.g. "platform wlroots: no
// global pointer events, gestures off; no pointer warp after moves"; nothing
// when the platform can do everything.
std::optional<std::string> limitsLine(std::string_view name, const Abilities& can);

}  // namespace seam
