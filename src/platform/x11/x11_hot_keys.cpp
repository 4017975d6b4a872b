#include "platform/x11/x11_hot_keys.h"

#include <QSocketNotifier>
// Xlib after Qt: its macros (Bool, Status) break Qt's headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <map>
#include <vector>

#include "platform/key_grab_counts.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_error_trap.h"
#include "platform/x11/x11_key_codes.h"
#include "shell/hot_key_spec.h"

namespace seam {

namespace {
constexpr unsigned kModifierMask = ControlMask | Mod1Mask | ShiftMask | Mod4Mask;

unsigned xModifiers(std::uint32_t mods) {
    unsigned m = 0;
    if (mods & HotKeySpec::control) m |= ControlMask;
    if (mods & HotKeySpec::option) m |= Mod1Mask;
    if (mods & HotKeySpec::shift) m |= ShiftMask;
    if (mods & HotKeySpec::command) m |= Mod4Mask;
    return m;
}

// The modifier bit a key is mapped to, 0 when none.
unsigned maskOf(Display* d, KeySym sym) {
    const KeyCode code = XKeysymToKeycode(d, sym);
    if (!code) return 0;
    XModifierKeymap* map = XGetModifierMapping(d);
    unsigned mask = 0;
    for (int mod = 0; mod < 8 && !mask; ++mod)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[mod * map->max_keypermod + k] == code) mask = 1u << mod;
    XFreeModifiermap(map);
    return mask;
}
}  // namespace

struct X11HotKeys::Impl {
    struct Reg {
        std::uint32_t keyCode, mods, id;
        KeyCode xcode = 0;
        unsigned xmods = 0;
    };
    std::shared_ptr<X11Connection> connection;
    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void(std::uint32_t)> handler;
    std::map<Handle, Reg> regs;
    KeyGrabCounts grabs;  // by X key code and modifiers
    Handle next = 1;
    unsigned capsMask = LockMask, numMask = 0;

    Display* d() const { return connection->display(); }
    Window root() const { return connection->root(); }

    void readLockMasks() {
        capsMask = maskOf(d(), XK_Caps_Lock);
        if (!capsMask) capsMask = LockMask;
        numMask = maskOf(d(), XK_Num_Lock);
    }
    std::vector<unsigned> lockVariants() const {
        return {0u, capsMask, numMask, capsMask | numMask};
    }
    // 0, or the X error code of the refused grab; nothing stays grabbed then.
    // A combination another registration holds is grabbed already.
    int grab(Reg& r) {
        const auto sym = keysymForVirtualKey(r.keyCode);
        r.xcode = sym ? XKeysymToKeycode(d(), *sym) : 0;
        r.xmods = xModifiers(r.mods);
        if (!r.xcode) return BadValue;
        if (!grabs.acquire({r.xcode, r.xmods})) return 0;
        X11ErrorTrap trap(d());
        for (unsigned lock : lockVariants())
            XGrabKey(d(), r.xcode, r.xmods | lock, root(), True, GrabModeAsync, GrabModeAsync);
        if (!trap.failed()) return 0;
        const int code = trap.errorCode();
        grabs.release({r.xcode, r.xmods});
        ungrabAll(r.xcode, r.xmods);
        r.xcode = 0;
        return code;
    }
    void ungrab(const Reg& r) {
        if (r.xcode && grabs.release({r.xcode, r.xmods})) ungrabAll(r.xcode, r.xmods);
    }
    void ungrabAll(unsigned xcode, unsigned xmods) {
        X11ErrorTrap trap(d());
        for (unsigned lock : lockVariants()) XUngrabKey(d(), xcode, xmods | lock, root());
        trap.failed();
    }
};

std::unique_ptr<X11HotKeys> X11HotKeys::open(const char* displayName) {
    auto connection = X11Connection::open(displayName);
    if (!connection) return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->connection = std::move(connection);
    impl->readLockMasks();
    std::unique_ptr<X11HotKeys> keys(new X11HotKeys(std::move(impl)));
    Impl* i = keys->impl_.get();
    i->notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(i->d()), QSocketNotifier::Read);
    X11HotKeys* self = keys.get();
    QObject::connect(i->notifier.get(), &QSocketNotifier::activated,
                     [self] { self->dispatchPending(); });
    return keys;
}

X11HotKeys::X11HotKeys(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11HotKeys::~X11HotKeys() {
    for (const auto& [h, r] : impl_->regs) impl_->ungrab(r);
}

HotKeyService::Result X11HotKeys::registerKey(std::uint32_t keyCode, std::uint32_t mods,
                                              std::uint32_t id) {
    Impl::Reg r{keyCode, mods, id};
    if (const int status = impl_->grab(r)) return {std::nullopt, status};
    const Handle h = impl_->next++;
    impl_->regs[h] = r;
    return {h, 0};
}

void X11HotKeys::unregisterKey(Handle handle) {
    auto it = impl_->regs.find(handle);
    if (it == impl_->regs.end()) return;
    impl_->ungrab(it->second);
    impl_->regs.erase(it);
}

void X11HotKeys::setHandler(std::function<void(std::uint32_t)> handler) {
    impl_->handler = std::move(handler);
}

void X11HotKeys::dispatchPending() {
    Display* d = impl_->d();
    while (XPending(d)) {
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type == MappingNotify) {
            // The keyboard changed: key codes and lock bits may have moved.
            XRefreshKeyboardMapping(&ev.xmapping);
            for (const auto& [xcode, xmods] : impl_->grabs.combinations())
                impl_->ungrabAll(xcode, xmods);
            impl_->grabs.clear();
            impl_->readLockMasks();
            for (auto& [h, r] : impl_->regs) impl_->grab(r);
            continue;
        }
        if (ev.type != KeyPress) continue;
        // Keys given to several actions run the one with the lowest id.
        const unsigned state = ev.xkey.state & kModifierMask;
        std::optional<std::uint32_t> id;
        for (const auto& [h, r] : impl_->regs)
            if (r.xcode == ev.xkey.keycode && r.xmods == state && (!id || r.id < *id)) id = r.id;
        if (id && impl_->handler) impl_->handler(*id);
    }
}

}  // namespace seam
