// The built program's --dump-menu: no display, no widgets, the menu as the tray
// would show it before its hot keys are registered.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <string>

#include "base/qt/prefs.h"
#include "support/command.h"
#include "support/log_capture.h"
#include "update/features.h"

namespace seam {
namespace {

using ProgramRun = testing::CommandRun;

// Only what is set here: no DISPLAY, settings and log in a fresh home.
ProgramRun dumpMenu(const testing::TempDir& home, const std::string& language,
                    const std::string& arguments = "") {
    const std::string cmd =
        "env -i HOME=" + home.path() + " XDG_CONFIG_HOME=" + home.path() +
        "/config XDG_STATE_HOME=" + home.path() + "/state LANG=" + language +
        " QT_QPA_PLATFORM=offscreen " SEAM_BINARY_DIR "/seamwright --dump-menu" + arguments;
    return testing::runCommand(cmd);
}

const std::string kEnglish =
    "<startAlign>\n<undo>\nShortcut Settings…  Ctrl+,\n---\nSaved Layouts\n---\nHow to Use\n"
    "Check for Updates…\nOpen at Login\n---\nQuit Seamwright  Ctrl+Q\n";

TEST(DumpMenuProgram, EnglishWithoutSupport) {
    testing::TempDir home;
    const ProgramRun r = dumpMenu(home, "C");
    EXPECT_EQ(r.out, kEnglish);
    EXPECT_EQ(r.exitCode, 0);
}

TEST(DumpMenuProgram, SupportFromTheArgumentOrTheSwitch) {
    testing::TempDir home;
    const std::string withSupport =
        "<startAlign>\n<undo>\nShortcut Settings…  Ctrl+,\n---\nSaved Layouts\n---\nHow to Use\n"
        "Check for Updates…\nOpen at Login\n---\nSupport This App…\n---\nQuit Seamwright  Ctrl+Q\n";
    EXPECT_EQ(dumpMenu(home, "C", " --support").out, withSupport);

    {
        QSettingsStore store(QString::fromStdString(home.path()) + "/config/Seamwright",
                             "Seamwright");
        store.set("support.feed", SettingValue{Features::supportURL(false)});
        store.sync();
    }
    EXPECT_EQ(dumpMenu(home, "C").out, withSupport);
    {
        QSettingsStore store(QString::fromStdString(home.path()) + "/config/Seamwright",
                             "Seamwright");
        store.set("support.feed", SettingValue{std::string("https://example.org/support")});
        store.sync();
    }
    EXPECT_EQ(dumpMenu(home, "C").out, kEnglish);
}

TEST(DumpMenuProgram, Korean) {
    testing::TempDir home;
    const ProgramRun r = dumpMenu(home, "ko_KR.UTF-8");
    EXPECT_EQ(r.out,
              "<startAlign>\n<undo>\n단축키 설정…  Ctrl+,\n---\n저장한 배치\n---\n사용법\n"
              "업데이트 확인…\n로그인할 때 열기\n---\nSeamwright 종료  Ctrl+Q\n");
    EXPECT_EQ(r.exitCode, 0);
}

}  // namespace
}  // namespace seam
