#include "platform/x11/x11_platform.h"

#include "platform/x11/x11_backdrop.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_changes.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "platform/x11/x11_hot_keys.h"
#include "platform/x11/x11_pointer.h"
#include "platform/x11/x11_tray_colours.h"

namespace seam {

namespace {
class X11TrayColours : public TrayColourSource {
  public:
    explicit X11TrayColours(std::shared_ptr<X11Connection> connection)
        : connection_(std::move(connection)) {}
    std::optional<Rgb> hostForeground() override { return trayForeground(*connection_); }
    std::vector<std::uint32_t> pixelsAroundIcon(unsigned long iconWindow) override {
        return seam::pixelsAroundIcon(*connection_, iconWindow);
    }

  private:
    std::shared_ptr<X11Connection> connection_;
};

// Where the server has no XInput 2.2, jobs still read and move displays.
class NoPointer : public PointerServices {
  public:
    Point location() override { return {}; }
    void warp(Point) override {}
    bool canWarp() const override { return false; }
};
}  // namespace

X11Platform::X11Platform() = default;
X11Platform::~X11Platform() = default;

std::unique_ptr<X11Platform> X11Platform::openDisplays(std::string& why) {
    std::unique_ptr<X11Platform> p(new X11Platform);
    p->services_ = X11DisplayServices::open();
    if (!p->services_) {
        why = "the X display or its RandR extension is not available";
        return nullptr;
    }
    p->identity_ = std::make_unique<X11DisplayIdentity>(*p->services_);
    p->pointer_ = X11Pointer::open(p->services_->connection(), *p->services_);
    if (!p->pointer_) p->noPointer_ = std::make_unique<NoPointer>();
    return p;
}

std::unique_ptr<X11Platform> X11Platform::open(std::string& why) {
    auto p = openDisplays(why);
    if (!p) return nullptr;
    if (!p->pointer_) {
        why = "the X server has no XInput 2.2 for pointer events";
        return nullptr;
    }
    p->changes_ = X11DisplayChanges::open();
    p->hotKeys_ = X11HotKeys::open();
    p->trayColours_ = std::make_unique<X11TrayColours>(p->services_->connection());
    return p;
}

DisplayServices& X11Platform::displays() {
    return *services_;
}
DisplayIdentitySource& X11Platform::identity() {
    return *identity_;
}
PointerServices& X11Platform::pointer() {
    if (pointer_) return *pointer_;
    return *noPointer_;
}
DisplayChangeSource* X11Platform::displayChanges() {
    return changes_.get();
}
PointerFeed* X11Platform::pointerFeed() {
    return pointer_.get();
}
HotKeyService* X11Platform::hotKeys() {
    return hotKeys_.get();
}
std::unique_ptr<ScreenBackdrop> X11Platform::backdrop(unsigned long window, const Rect& root,
                                                      double dim) {
    return makeX11Backdrop(services_->connection(), window, root, dim);
}

}  // namespace seam
