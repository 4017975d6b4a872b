// The tray program on a private headless KWin with the desktop portal and its
// KDE back end on the same session bus: the program binds its keys through the
// portal, a key press injected as a keyboard would send it reaches the program,
// and KWin's shortcut service lists what was bound.
#include <gtest/gtest.h>
#include <signal.h>

#include <regex>

#include "fake_input.h"
#include "headless_kwin.h"
#include "support/command.h"
#include "support/session_bus.h"
#include "support/user_session.h"

namespace seam {
namespace {

using testing::HeadlessKwin;

// The portals the bus started stay when the bus goes (the KDE back end does
// not notice), so they are stopped by their process ids, asked of the bus.
struct PortalsStopped {
    std::string onBus;
    ~PortalsStopped() {
        for (const char* name :
             {"org.freedesktop.portal.Desktop", "org.freedesktop.impl.portal.desktop.kde",
              "org.freedesktop.portal.Documents", "org.freedesktop.impl.portal.PermissionStore"}) {
            const auto pid = testing::runCommand(
                onBus +
                "gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m "
                "org.freedesktop.DBus.GetConnectionUnixProcessID " +
                name + " 2>/dev/null");
            std::smatch m;
            if (std::regex_search(pid.out, m, std::regex(R"(uint32 (\d+))")))
                ::kill(std::stoi(m[1]), SIGTERM);
        }
    }
};

// evdev codes of the left Ctrl, Alt and Super keys and of A.
constexpr std::uint32_t kCtrl = 29, kAlt = 56, kSuper = 125, kA = 30;

TEST(HotKeysOnKwin, TheAlignKeyBoundThroughThePortalStartsAlignMode) {
    testing::SessionBus bus;
    ASSERT_TRUE(bus.running());
    const std::unique_ptr<HeadlessKwin> kwin = HeadlessKwin::start(bus.address());
    ASSERT_NE(kwin, nullptr) << HeadlessKwin::lastError();
    const std::string onBus = "DBUS_SESSION_BUS_ADDRESS='" + bus.address() + "' ";
    const PortalsStopped portals{onBus};
    // What the portal and its back end start with when the bus starts them; the
    // back end draws nothing for shortcuts, so it needs no display of its own.
    const auto env =
        testing::runCommand(onBus +
                            "dbus-update-activation-environment XDG_CURRENT_DESKTOP=KDE "
                            "QT_QPA_PLATFORM=offscreen WAYLAND_DISPLAY=" +
                            kwin->socket() + " XDG_RUNTIME_DIR=" + kwin->runtimeDir() +
                            " HOME=" + kwin->runtimeDir() + " 2>&1");
    ASSERT_EQ(env.exitCode, 0) << env.out;

    testing::UserSession user(kwin->socket(), bus.address(), "XDG_CURRENT_DESKTOP=KDE");
    ASSERT_NO_FATAL_FAILURE(user.startTray());
    EXPECT_TRUE(user.logShows("hot keys: portal\n")) << user.log();
    // This portal binds the keys the session names; asking it to bind them
    // again would open System Settings in front of the user.
    EXPECT_TRUE(user.logShows("hot keys: the portal holds 2 keys")) << user.log();
    EXPECT_EQ(user.log().find("hot keys: the portal bound"), std::string::npos) << user.log();

    // KWin's own shortcut service holds both keys, under our session's name.
    const auto listed =
        testing::runCommand(onBus +
                            "gdbus call --session -d org.kde.kglobalaccel -o /component/seamwright "
                            "-m org.kde.kglobalaccel.Component.allShortcutInfos 2>&1");
    for (const char* key : {"'align', 'Seamwright: Align Monitors'", "'undo', 'Seamwright: Undo'"})
        EXPECT_NE(listed.out.find(key), std::string::npos) << listed.out;

    ASSERT_TRUE(testing::pressKeys(kwin->socket(), {kCtrl, kAlt, kSuper, kA}));
    EXPECT_TRUE(user.logShows("align mode start")) << user.log();
}

}  // namespace
}  // namespace seam
