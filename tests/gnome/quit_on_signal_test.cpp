// Logging out of GNOME: the session sends the tray program SIGTERM. It quits as
// it does from its menu, so its custom shortcuts leave the user's settings and
// the user's own stay.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "headless_mutter.h"
#include "platform/gnome/gnome_custom_keys.h"
#include "support/command.h"

namespace seam {
namespace {

using testing::HeadlessMutter;

// The one child of a process; -1 when it has none (yet).
pid_t childOf(pid_t parent) {
    for (const auto& e : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(e.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
        // pid (name) state ppid ...: the name may hold spaces and brackets.
        char state = 0;
        pid_t ppid = -1;
        if (std::sscanf(line.c_str() + line.rfind(')') + 1, " %c %d", &state, &ppid) == 2 &&
            ppid == parent)
            return std::stoi(e.path().filename());
    }
    return -1;
}

TEST(QuitOnSignalOnMutter, SigtermRemovesOurCustomShortcutsAndKeepsTheUsers) {
    std::string error;
    const std::unique_ptr<HeadlessMutter> mutter = HeadlessMutter::start(error);
    ASSERT_NE(mutter, nullptr) << error;
    const std::string root = mutter->configFolder().substr(0, mutter->configFolder().rfind('/'));
    const std::string home = root + "/user";
    std::filesystem::create_directories(home);
    const std::string store = "GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME=" + home + "/config";
    const auto gsettings = [&](const std::string& args) {
        return testing::runCommand(store + " gsettings " + args + " 2>&1").out;
    };
    const std::string list = "get org.gnome.settings-daemon.plugins.media-keys custom-keybindings";
    const std::string users = std::string("org.gnome.settings-daemon.plugins.media-keys.") +
                              "custom-keybinding:" + kCustomKeyFolder + "custom0/";
    const std::string usersList = "['" + std::string(kCustomKeyFolder) + "custom0/']";
    gsettings("set " + users + " binding '<Super>t'");
    gsettings("set org.gnome.settings-daemon.plugins.media-keys custom-keybindings \"" + usersList +
              "\"");
    const std::string program =
        testing::programOnWayland(root + "/run/wayland-0", "", mutter->busAddress(),
                                  store + " HOME=" + home + " XDG_STATE_HOME=" + home +
                                      " XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORM=wayland");
    const auto log = [&] { return testing::fileText(home + "/Seamwright/Seamwright.log"); };

    // The shell's number is the one the command runs under; the program is its child.
    FILE* started = testing::startCommand("echo $$; exec " + program);
    ASSERT_NE(started, nullptr);
    pid_t shell = -1;
    ASSERT_EQ(std::fscanf(started, "%d", &shell), 1);
    pid_t seamwright = -1;
    EXPECT_TRUE(testing::waitUntil([&] { return (seamwright = childOf(shell)) > 0; }));
    EXPECT_TRUE(testing::waitUntil([&] {
        return gsettings(list).find("seamwright-align") != std::string::npos &&
               log().find("commands: listening on the session bus") != std::string::npos;
    })) << gsettings(list)
        << log();

    ASSERT_GT(seamwright, 0);
    ASSERT_EQ(::kill(seamwright, SIGTERM), 0);
    const testing::CommandRun run = testing::finishCommand(started);
    EXPECT_EQ(run.exitCode, 0) << run.out << log();
    EXPECT_NE(log().find("Z signal SIGTERM: quitting\n"), std::string::npos) << log();
    EXPECT_TRUE(log().ends_with("Z quit\n")) << log();
    EXPECT_EQ(gsettings(list), usersList + "\n");
    EXPECT_EQ(gsettings("get " + users + " binding"), "'<Super>t'\n");
}

}  // namespace
}  // namespace seam
