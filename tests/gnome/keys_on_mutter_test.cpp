// The tray program in a headless GNOME session whose portal offers no global
// shortcuts and whose panel shows no tray: it keeps its keys as GNOME custom
// shortcuts while it runs, in a settings store of the test's own, read back
// with the gsettings tool, and opens its settings window instead of an icon.
#include <gtest/gtest.h>

#include <filesystem>

#include "headless_mutter.h"
#include "platform/gnome/gnome_custom_keys.h"
#include "support/command.h"

namespace seam {
namespace {

using testing::HeadlessMutter;

TEST(KeysOnMutter, TheKeysAreGnomeCustomShortcutsWhileTheProgramRuns) {
    std::string error;
    const std::unique_ptr<HeadlessMutter> mutter = HeadlessMutter::start(error);
    ASSERT_NE(mutter, nullptr) << error;
    const std::string folder = mutter->configFolder();
    const std::string home = folder.substr(0, folder.rfind('/')) + "/user";
    std::filesystem::create_directories(home);
    const std::string store = "GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME=" + home + "/config";
    const auto gsettings = [&](const std::string& args) {
        return testing::runCommand(store + " gsettings " + args + " 2>&1").out;
    };
    const std::string list = "get org.gnome.settings-daemon.plugins.media-keys custom-keybindings";
    const std::string folderOf = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:";
    const std::string align = folderOf + kCustomKeyFolder + "seamwright-align/";
    const std::string users = folderOf + kCustomKeyFolder + "custom0/";
    const std::string usersList = "['" + std::string(kCustomKeyFolder) + "custom0/']\n";
    // The user's own shortcut, which must stay as it is.
    gsettings("set " + users + " binding '<Super>t'");
    gsettings("set org.gnome.settings-daemon.plugins.media-keys custom-keybindings \"" +
              usersList.substr(0, usersList.size() - 1) + "\"");
    const std::string socket = folder.substr(0, folder.rfind('/')) + "/run/wayland-0";
    const std::string session = store + " HOME=" + home + " XDG_STATE_HOME=" + home +
                                " XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORM=wayland";
    const auto program = [&](const std::string& args) {
        return testing::programOnWayland(socket, args, mutter->busAddress(), session);
    };
    const auto log = [&] { return testing::fileText(home + "/Seamwright/Seamwright.log"); };

    FILE* tray = testing::startCommand(program(""));
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(testing::waitUntil([&] {
        return log().find("hot keys: gnome custom shortcuts\n") != std::string::npos;
    })) << log();
    EXPECT_TRUE(testing::waitUntil([&] {
        return gsettings(list).find("seamwright-undo") != std::string::npos;
    })) << gsettings(list);
    EXPECT_EQ(gsettings(list).find(std::string(kCustomKeyFolder) + "custom0/"), 2u)
        << gsettings(list);
    EXPECT_EQ(gsettings("get " + align + " binding"), "'<Control><Alt><Super>a'\n");
    const std::string command = gsettings("get " + align + " command");
    EXPECT_NE(command.find("/seamwright' --align"), std::string::npos) << command;

    // Without an indicator extension there is no tray: the settings window is the way in.
    EXPECT_TRUE(testing::waitUntil([&] {
        return log().find("tray: no tray host, so no tray icon; opening the settings window") !=
               std::string::npos;
    })) << log();

    const auto quit = testing::runCommand(program("--quit"));
    EXPECT_EQ(quit.exitCode, 0) << quit.out << log();
    testing::finishCommand(tray);
    // Nothing of ours stays behind in the user's settings.
    EXPECT_EQ(gsettings(list), usersList);
    EXPECT_EQ(gsettings("get " + users + " binding"), "'<Super>t'\n");
    EXPECT_EQ(gsettings("get " + align + " binding"), "''\n");
}

}  // namespace
}  // namespace seam
