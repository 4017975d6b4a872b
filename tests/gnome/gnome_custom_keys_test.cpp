// Our hot keys as GNOME custom shortcuts: the list kept around the user's own
// entries, and the entries as GSettings stores them, written into a key file
// of the test's own and read back with the gsettings tool.
#include "platform/gnome/gnome_custom_keys.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "support/command.h"
#include "support/log_capture.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
const std::string kOurs = std::string(kCustomKeyFolder) + "seamwright-";
const std::string kUsers = std::string(kCustomKeyFolder) + "custom0/";

TEST(GnomeCustomKeysTest, OurEntriesReplacedAroundTheUsersInTheirOrder) {
    const std::vector<GnomeCustomKey> ours = {{kOurs + "align/"}, {kOurs + "layout-H/"}};
    struct Case {
        std::vector<std::string> current, merged;
    };
    const Case cases[] = {
        {{}, {kOurs + "align/", kOurs + "layout-H/"}},
        {{kUsers, kOurs + "undo/", "/x/custom1/"},
         {kUsers, "/x/custom1/", kOurs + "align/", kOurs + "layout-H/"}},
        // A path that only starts like our folder is the user's.
        {{std::string(kCustomKeyFolder) + "seamwrightish/"},
         {std::string(kCustomKeyFolder) + "seamwrightish/", kOurs + "align/", kOurs + "layout-H/"}},
    };
    for (const Case& c : cases) EXPECT_EQ(mergedCustomKeyPaths(c.current, ours), c.merged);
    EXPECT_EQ(mergedCustomKeyPaths({kUsers, kOurs + "align/"}, {}), std::vector{kUsers});
}

TEST(GnomeCustomKeysTest, EntriesRunOurCommandAndSkipKeysGnomeCannotName) {
    testing::LogCapture logs;
    const HotKeySpec f5{96, HotKeySpec::control, "F5"}, noName{52, HotKeySpec::control, "?"};
    const auto entries =
        gnomeCustomKeys("/opt/my apps/seamwright", {{defaultAlign, {"--align"}, "align"},
                                                    {noName, {"--undo"}, "undo"},
                                                    {f5, {"--apply-layout", "Bob's"}, "layout-H"}});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0],
              (GnomeCustomKey{kOurs + "align/", "Seamwright: Align Monitors",
                              "<Control><Alt><Super>a", "'/opt/my apps/seamwright' --align"}));
    EXPECT_EQ(entries[1].path, kOurs + "layout-H/");
    EXPECT_EQ(entries[1].command, "'/opt/my apps/seamwright' --apply-layout 'Bob'\\''s'");
    EXPECT_EQ(logs.messages().size(), 1u);
}

class GnomeSettings : public ::testing::Test {
  protected:
    // GSettings picks its store once per process, before the first use.
    static void SetUpTestSuite() {
        dir = fs::temp_directory_path() / ("seam-gsettings-" + std::to_string(getpid()));
        fs::create_directories(dir);
        setenv("GSETTINGS_BACKEND", "keyfile", 1);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }
    static std::string gsettings(const std::string& args) {
        return testing::runCommand("GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME='" + dir.string() +
                                   "' gsettings " + args + " 2>&1")
            .out;
    }
    static std::string entry(const std::string& path, const std::string& key) {
        return gsettings("get " + std::string(kCustomKeySchema) + ":" + path + " " + key);
    }
    static inline fs::path dir;
};

TEST_F(GnomeSettings, KeysAreWrittenBesideTheUsersAndRemovedWithoutTouchingIt) {
    gsettings("set " + std::string(kCustomKeySchema) + ":" + kUsers + " binding '<Super>t'");
    gsettings("set " + std::string(kMediaKeysSchema) + " custom-keybindings \"['" + kUsers +
              "']\"");
    const HotKeySpec f5{96, HotKeySpec::control | HotKeySpec::shift, "F5"};
    {
        auto keys = openGnomeCustomKeys("/usr/bin/seamwright");
        ASSERT_NE(keys, nullptr);
        keys->bind({{defaultAlign, {"--align"}, "align"},
                    {defaultUndo, {"--undo"}, "undo"},
                    {f5, {"--apply-layout", "Home"}, "layout-H"}});
        EXPECT_EQ(gsettings("get " + std::string(kMediaKeysSchema) + " custom-keybindings"),
                  "['" + kUsers + "', '" + kOurs + "align/', '" + kOurs + "undo/', '" + kOurs +
                      "layout-H/']\n");
        EXPECT_EQ(entry(kOurs + "layout-H/", "binding"), "'<Control><Shift>F5'\n");
        EXPECT_EQ(entry(kOurs + "layout-H/", "command"),
                  "\"'/usr/bin/seamwright' --apply-layout 'Home'\"\n");
        EXPECT_EQ(entry(kOurs + "align/", "name"), "'Seamwright: Align Monitors'\n");

        // The layout's key cleared.
        keys->bind({{defaultAlign, {"--align"}, "align"}, {defaultUndo, {"--undo"}, "undo"}});
        EXPECT_EQ(gsettings("get " + std::string(kMediaKeysSchema) + " custom-keybindings"),
                  "['" + kUsers + "', '" + kOurs + "align/', '" + kOurs + "undo/']\n");
        EXPECT_EQ(entry(kOurs + "layout-H/", "binding"), "''\n");
    }
    // Gone with the program; the user's entry is as it was.
    EXPECT_EQ(gsettings("get " + std::string(kMediaKeysSchema) + " custom-keybindings"),
              "['" + kUsers + "']\n");
    EXPECT_EQ(entry(kOurs + "align/", "binding"), "''\n");
    EXPECT_EQ(entry(kUsers, "binding"), "'<Super>t'\n");
}

}  // namespace
}  // namespace seam
