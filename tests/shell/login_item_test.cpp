// The login item as an autostart entry in a temporary configuration folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "shell/login_item.h"
#include "support/command.h"
#include "support/log_capture.h"

namespace seam {
namespace {

namespace fs = std::filesystem;

using testing::fileText;

EnvLookup envOf(std::map<std::string, std::string> vars) {
    return [vars = std::move(vars)](const char* name) -> const char* {
        const auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    };
}

TEST(LoginItem, EntryPathHonoursXdgConfigHome) {
    EXPECT_EQ(autostartEntryPath(envOf({{"XDG_CONFIG_HOME", "/x/conf"}, {"HOME", "/home/u"}})),
              "/x/conf/autostart/seamwright.desktop");
    // Relative or empty values are to be ignored.
    EXPECT_EQ(autostartEntryPath(envOf({{"XDG_CONFIG_HOME", "conf"}, {"HOME", "/home/u"}})),
              "/home/u/.config/autostart/seamwright.desktop");
    EXPECT_EQ(autostartEntryPath(envOf({{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u"}})),
              "/home/u/.config/autostart/seamwright.desktop");
    EXPECT_EQ(autostartEntryPath(envOf({})), "");
}

TEST(LoginItem, ExecIsQuotedAndEscaped) {
    struct Case {
        const char* program;
        std::optional<std::string> exec;
    };
    const Case cases[] = {
        {"/opt/Seamwright.app/Contents/bin/seamwright",
         "/opt/Seamwright.app/Contents/bin/seamwright"},
        {"/home/u/My Apps/seamwright", "\"/home/u/My Apps/seamwright\""},
        {"/a$b/100%/x", "\"/a\\\\$b/100%%/x\""},
        {"/a\"b", "\"/a\\\\\"b\""},
        {"/a\\b", "\"/a\\\\\\\\b\""},
        {"/bad\npath", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        EXPECT_EQ(desktopExec(c.program), c.exec);
    }
}

TEST(LoginItem, WhichEntriesStartTheProgram) {
    struct Case {
        const char* content;
        bool enabled;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nType=Application\nExec=/bin/x\n", true},
        {"# made by hand\n[Desktop Entry]\nExec=/bin/x\nHidden=false\n", true},
        {"[Desktop Entry]\nExec=/bin/x\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=/bin/x\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=/bin/x\n[Desktop Action new]\nHidden=true\n", true},
        {"Exec=/bin/x\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(autostartEntryEnabled(c.content), c.enabled);
    }
}

TEST(LoginItem, WrittenReadBackAndRemoved) {
    testing::TempDir config;
    testing::LogCapture logs;
    const std::string path = autostartEntryPath(envOf({{"XDG_CONFIG_HOME", config.path()}}));
    AutostartLoginItem item(path, "/opt/My Apps/seamwright");
    EXPECT_FALSE(item.enabled());

    // The autostart folder does not exist yet: it is made.
    LoginToggle t = flipLoginItem(item);
    EXPECT_FALSE(t.failed);
    EXPECT_TRUE(t.checked);
    EXPECT_TRUE(item.enabled());
    const std::string content = fileText(path);
    EXPECT_NE(content.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(content.find("\nExec=\"/opt/My Apps/seamwright\"\n"), std::string::npos) << content;
    EXPECT_NE(content.find("\nType=Application\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(path + ".new"));

    t = flipLoginItem(item);
    EXPECT_FALSE(t.failed);
    EXPECT_FALSE(t.checked);
    EXPECT_FALSE(fs::exists(path));

    // Switched off in the desktop's own settings: the next toggle switches it on again.
    std::ofstream(path) << "[Desktop Entry]\nExec=/old\nX-GNOME-Autostart-enabled=false\n";
    EXPECT_FALSE(item.enabled());
    t = flipLoginItem(item);
    EXPECT_TRUE(t.checked);
    EXPECT_NE(fileText(path).find("Exec=\"/opt/My Apps/seamwright\""), std::string::npos);
    EXPECT_EQ(logs.messages(),
              (std::vector<std::string>{"login item on", "login item off", "login item on"}));
}

TEST(LoginItem, AFolderThatCannotBeWrittenIsReported) {
    testing::TempDir config;
    testing::LogCapture logs;
    // A file where the autostart folder should be: no user, root included, can
    // put the entry there.
    std::ofstream(config.path() + "/autostart") << "not a folder";
    AutostartLoginItem item(config.path() + "/autostart/seamwright.desktop", "/bin/seamwright");
    const std::optional<std::string> error = item.setEnabled(true);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(config.path() + "/autostart"), std::string::npos) << *error;

    const LoginToggle t = flipLoginItem(item);
    EXPECT_TRUE(t.failed);
    EXPECT_FALSE(t.checked);
    ASSERT_EQ(logs.messages().size(), 1u);
    EXPECT_TRUE(logs.messages()[0].starts_with("login item register failed: cannot create "))
        << logs.messages()[0];

    AutostartLoginItem homeless("", "/bin/seamwright");
    EXPECT_TRUE(homeless.setEnabled(true));
    EXPECT_FALSE(homeless.enabled());
}

}  // namespace
}  // namespace seam
