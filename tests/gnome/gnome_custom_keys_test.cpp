// Our hot keys as GNOME custom shortcuts: the list kept around the user's own
// entries, and the entry written for each key. What GSettings stores is read
// back in the GNOME session test.
#include "platform/gnome/gnome_custom_keys.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"

namespace seam {
namespace {

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

}  // namespace
}  // namespace seam
