// The align flow under a real window manager with its own tray: what the
// manager does to focus, stacking and placement must not change what the user
// gets, and the manager must find the tray icon.
#include <gtest/gtest.h>

#include "align_flow.h"
#include "program_on_x.h"
#include "window_manager.h"
#include "window_tree.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::eventually;
using testing::Program;
using testing::ShownWindow;
using testing::User;
using testing::WindowManager;
using testing::WindowTree;
using testing::xserver;

// Our icon sits in the bar's tray on the built-in panel, the primary monitor.
bool iconInBarTray(WindowTree& tree, const Program& program) {
    if (tree.selectionOwner("_NET_SYSTEM_TRAY_S0") == 0) return false;
    for (const ShownWindow& w : tree.shownBy(program.pid()))
        if (w.rect.width < 100 && tree.heldByClass(w, "i3bar") && w.rect.inside({0, 0, 1710, 1112}))
            return true;
    return false;
}

struct Desktop {
    const char* name;
    WindowManager::Kind kind;
};

void PrintTo(const Desktop& d, std::ostream* out) {
    *out << d.name;
}

class AlignUnderWindowManager : public ::testing::TestWithParam<Desktop> {};

TEST_P(AlignUnderWindowManager, FlowFocusStackingAndTray) {
    ASSERT_TRUE(xserver()->arrange());
    auto wm = WindowManager::start(GetParam().kind);
    ASSERT_NE(wm, nullptr) << WindowManager::lastError();
    {
        Program program;
        ASSERT_TRUE(program.running());
        User user;
        WindowTree tree;
        if (wm->hostsTray()) {
            EXPECT_TRUE(eventually([&] { return iconInBarTray(tree, program); })) << wm->output();
        }

        testing::alignTwoClicksConfirmAndUndo(program, user);
        ASSERT_FALSE(HasFatalFailure()) << wm->output();

        // The bar was rebuilt for the new arrangement; the icon went back into it.
        if (wm->hostsTray()) {
            EXPECT_TRUE(eventually([&] { return iconInBarTray(tree, program); })) << wm->output();
        }
        // Escape reaches the overlays although the manager has the focus elsewhere.
        user.keys(testing::kAlignKeys);
        // The overlay under the pointer takes the focus last, once it holds the keyboard.
        ASSERT_TRUE(eventually([&] {
            const auto overlays = testing::overlaysOf(tree, program);
            return overlays.size() == 2 &&
                   (tree.hasFocus(overlays[0]) || tree.hasFocus(overlays[1]));
        })) << program.logText();
        user.keys({XK_Escape});
        EXPECT_TRUE(program.waitForLog("align mode cancelled (esc)")) << program.logText();
        EXPECT_TRUE(eventually([&] { return testing::overlaysOf(tree, program).empty(); }));
    }
    EXPECT_TRUE(wm->stop()) << wm->output();
}

INSTANTIATE_TEST_SUITE_P(Desktops, AlignUnderWindowManager,
                         ::testing::Values(Desktop{"I3WithItsBarTray", WindowManager::Kind::i3},
                                           Desktop{"Xfwm4Composited", WindowManager::Kind::xfwm4}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace seam
