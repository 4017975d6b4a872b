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

void setSupportFeed(const testing::TempDir& home, const std::string& feed) {
    QSettingsStore store(QString::fromStdString(home.path()) + "/config/Seamwright", "Seamwright");
    store.set("support.feed", SettingValue{feed});
    store.sync();
}

TEST(DumpMenuProgram, LanguageAndSupportItem) {
    const std::string english =
        "<startAlign>\n<undo>\nShortcut Settings…  Ctrl+,\n---\nSaved Layouts\n---\nHow to Use\n"
        "Check for Updates…\nOpen at Login\n---\n";
    const std::string quit = "Quit Seamwright  Ctrl+Q\n";
    const std::string support = "Support This App…\n---\n";
    struct Case {
        const char* name;
        std::string language, arguments, feed;  // feed "" leaves the setting unset
        std::string out;
    };
    const Case cases[] = {
        {"English without support", "C", "", "", english + quit},
        {"support from the argument", "C", " --support", "", english + support + quit},
        {"support from the switch", "C", "", Features::supportURL(false), english + support + quit},
        {"another address is no switch", "C", "", "https://example.org/support", english + quit},
        {"Korean", "ko_KR.UTF-8", "", "",
         "<startAlign>\n<undo>\n단축키 설정…  Ctrl+,\n---\n저장한 배치\n---\n사용법\n"
         "업데이트 확인…\n로그인할 때 열기\n---\nSeamwright 종료  Ctrl+Q\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir home;
        if (!c.feed.empty()) setSupportFeed(home, c.feed);
        const ProgramRun r = dumpMenu(home, c.language, c.arguments);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.exitCode, 0);
    }
}

}  // namespace
}  // namespace seam
