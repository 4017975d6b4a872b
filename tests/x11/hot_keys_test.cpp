// Key grabs on the virtual server: presses synthesised with XTEST must reach the
// registered id whatever the lock keys, and a combination another client holds
// must be refused with the server's error code.
#include "platform/x11/x11_hot_keys.h"

#include <gtest/gtest.h>

#include "qt_on_x.h"
#include "shell/hot_key_spec.h"
#include "x11_environment.h"
// After gtest and Qt: Xlib's macros clash with their names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "program_on_x.h"

namespace seam {
namespace {

class X11HotKeysTest : public testing::QtOnX {
  protected:
    void SetUp() override {
        d = XOpenDisplay(testing::xserver()->name().c_str());
        ASSERT_NE(d, nullptr);
        keys = X11HotKeys::open(testing::xserver()->name().c_str());
        ASSERT_NE(keys, nullptr);
        keys->setHandler([this](std::uint32_t id) { fired.push_back(id); });
    }
    void TearDown() override {
        keys.reset();
        if (d) XCloseDisplay(d);
    }
    bool firedOnce(std::uint32_t id) {
        const bool ok = waitFor([&] { return !fired.empty(); }, 2000);
        return ok && fired == std::vector<std::uint32_t>{id};
    }

    Display* d = nullptr;
    testing::User user;
    std::unique_ptr<X11HotKeys> keys;
    std::vector<std::uint32_t> fired;
};

TEST_F(X11HotKeysTest, RegisteredKeyFiresWithAndWithoutLockKeys) {
    const auto r = keys->registerKey(defaultAlign.keyCode, defaultAlign.mods, 2);
    ASSERT_TRUE(r.handle);
    user.keys(testing::kAlignKeys);
    EXPECT_TRUE(firedOnce(2));

    // Caps Lock on: the grab for that variant catches it too.
    fired.clear();
    user.keys({XK_Caps_Lock});
    user.keys(testing::kAlignKeys);
    user.keys({XK_Caps_Lock});
    EXPECT_TRUE(firedOnce(2));

    // Another combination is not ours.
    fired.clear();
    user.keys({XK_Control_L, XK_Alt_L, XK_a});
    EXPECT_FALSE(waitFor([&] { return !fired.empty(); }, 300));
}

TEST_F(X11HotKeysTest, CombinationHeldByAnotherClientIsRefused) {
    const KeyCode z = XKeysymToKeycode(d, XK_z);
    XGrabKey(d, z, ControlMask | Mod1Mask | Mod4Mask, DefaultRootWindow(d), True, GrabModeAsync,
             GrabModeAsync);
    XSync(d, False);
    const auto r = keys->registerKey(defaultUndo.keyCode, defaultUndo.mods, 1);
    EXPECT_FALSE(r.handle);
    EXPECT_EQ(r.status, BadAccess);
    // Nothing of ours stays grabbed: once the other client lets go, we can take it.
    XUngrabKey(d, z, ControlMask | Mod1Mask | Mod4Mask, DefaultRootWindow(d));
    XSync(d, False);
    const auto again = keys->registerKey(defaultUndo.keyCode, defaultUndo.mods, 1);
    EXPECT_TRUE(again.handle);
    user.keys(testing::kUndoKeys);
    EXPECT_TRUE(firedOnce(1));
}

TEST_F(X11HotKeysTest, KeysOfTwoRegistrationsStayGrabbedUntilBothGo) {
    const auto align = keys->registerKey(defaultAlign.keyCode, defaultAlign.mods, 2);
    const auto layout = keys->registerKey(defaultAlign.keyCode, defaultAlign.mods, 100);
    ASSERT_TRUE(align.handle && layout.handle);
    user.keys(testing::kAlignKeys);
    EXPECT_TRUE(firedOnce(2));

    // Either one letting go leaves the key to the other.
    for (const auto& [gone, stays] : {std::pair{align, 100u}, std::pair{layout, 0u}}) {
        SCOPED_TRACE(stays);
        keys->unregisterKey(*gone.handle);
        EXPECT_EQ(user.heldByProgram(XK_a), stays != 0);
        fired.clear();
        user.keys(testing::kAlignKeys);
        if (stays)
            EXPECT_TRUE(firedOnce(stays));
        else
            EXPECT_FALSE(waitFor([&] { return !fired.empty(); }, 300));
    }
}

}  // namespace
}  // namespace seam
