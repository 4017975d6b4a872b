// The tray program in a headless GNOME session whose portal offers no global
// shortcuts and whose panel shows no tray: it keeps its keys as GNOME custom
// shortcuts while it runs, in a settings store of the test's own, read back
// with the gsettings tool, and opens its settings window instead of an icon.
// However it quits (its menu, or SIGTERM when the user logs out) its shortcuts
// leave the user's settings and the user's own stay.
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

const std::string kList = "get org.gnome.settings-daemon.plugins.media-keys custom-keybindings";
const std::string kFolderOf = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:";
const std::string kUsersList = "['" + std::string(kCustomKeyFolder) + "custom0/']\n";

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

class KeysOnMutter : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        mutter_ = HeadlessMutter::start(error);
        ASSERT_NE(mutter_, nullptr) << error;
        const std::string root =
            mutter_->configFolder().substr(0, mutter_->configFolder().rfind('/'));
        home_ = root + "/user";
        socket_ = root + "/run/wayland-0";
        std::filesystem::create_directories(home_);
        store_ = "GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME=" + home_ + "/config";
        // The user's own shortcut, which must stay as it is.
        gsettings("set " + users() + " binding '<Super>t'");
        gsettings("set org.gnome.settings-daemon.plugins.media-keys custom-keybindings \"" +
                  kUsersList.substr(0, kUsersList.size() - 1) + "\"");
    }

    std::string gsettings(const std::string& args) const {
        return testing::runCommand(store_ + " gsettings " + args + " 2>&1").out;
    }
    static std::string users() { return kFolderOf + kCustomKeyFolder + "custom0/"; }
    std::string program(const std::string& args) const {
        return testing::programOnWayland(socket_, args, mutter_->busAddress(),
                                         store_ + " HOME=" + home_ + " XDG_STATE_HOME=" + home_ +
                                             " XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORM=wayland");
    }
    std::string log() const { return testing::fileText(home_ + "/Seamwright/Seamwright.log"); }
    // Nothing of ours stays behind in the user's settings.
    void expectOnlyTheUsersShortcut() const {
        EXPECT_EQ(gsettings(kList), kUsersList);
        EXPECT_EQ(gsettings("get " + users() + " binding"), "'<Super>t'\n");
    }

    std::unique_ptr<HeadlessMutter> mutter_;
    std::string home_, socket_, store_;
};

TEST_F(KeysOnMutter, TheKeysAreGnomeCustomShortcutsWhileTheProgramRuns) {
    const std::string align = kFolderOf + kCustomKeyFolder + "seamwright-align/";
    FILE* tray = testing::startCommand(program(""));
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(testing::waitUntil([&] {
        return log().find("hot keys: gnome custom shortcuts\n") != std::string::npos;
    })) << log();
    EXPECT_TRUE(testing::waitUntil([&] {
        return gsettings(kList).find("seamwright-undo") != std::string::npos;
    })) << gsettings(kList);
    EXPECT_EQ(gsettings(kList).find(std::string(kCustomKeyFolder) + "custom0/"), 2u)
        << gsettings(kList);
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
    expectOnlyTheUsersShortcut();
    EXPECT_EQ(gsettings("get " + align + " binding"), "''\n");
}

TEST_F(KeysOnMutter, SigtermRemovesOurCustomShortcutsAndKeepsTheUsers) {
    // The shell's number is the one the command runs under; the program is its child.
    FILE* started = testing::startCommand("echo $$; exec " + program(""));
    ASSERT_NE(started, nullptr);
    pid_t shell = -1;
    ASSERT_EQ(std::fscanf(started, "%d", &shell), 1);
    pid_t seamwright = -1;
    EXPECT_TRUE(testing::waitUntil([&] { return (seamwright = childOf(shell)) > 0; }));
    EXPECT_TRUE(testing::waitUntil([&] {
        return gsettings(kList).find("seamwright-align") != std::string::npos &&
               log().find("commands: listening on the session bus") != std::string::npos;
    })) << gsettings(kList)
        << log();

    ASSERT_GT(seamwright, 0);
    ASSERT_EQ(::kill(seamwright, SIGTERM), 0);
    const testing::CommandRun run = testing::finishCommand(started);
    EXPECT_EQ(run.exitCode, 0) << run.out << log();
    EXPECT_NE(log().find("Z signal SIGTERM: quitting\n"), std::string::npos) << log();
    EXPECT_TRUE(log().ends_with("Z quit\n")) << log();
    expectOnlyTheUsersShortcut();
}

}  // namespace
}  // namespace seam
