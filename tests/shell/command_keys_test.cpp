// The hot keys in each desktop's words, the commands they run, and the route
// chosen for them.
#include "shell/command_keys.h"

#include <gtest/gtest.h>

#include "shell/command_service.h"
#include "shell/sway_keys.h"
#include "support/log_capture.h"

namespace seam {
namespace {

using Spec = HotKeySpec;

TEST(CommandKeysTest, KeysInEachDesktopsWords) {
    struct Case {
        HotKeySpec spec;
        std::optional<std::string> sway, portal, gnome;
    };
    const Case cases[] = {
        {defaultAlign, "Ctrl+Mod1+Mod4+a", "CTRL+ALT+LOGO+a", "<Control><Alt><Super>a"},
        {defaultUndo, "Ctrl+Mod1+Mod4+z", "CTRL+ALT+LOGO+z", "<Control><Alt><Super>z"},
        {{96, Spec::control | Spec::shift, "F5"},
         "Ctrl+Shift+F5",
         "CTRL+SHIFT+F5",
         "<Control><Shift>F5"},
        {{123, Spec::option | Spec::shift | Spec::command, "←"},
         "Mod1+Shift+Mod4+Left",
         "ALT+SHIFT+LOGO+Left",
         "<Alt><Shift><Super>Left"},
        {{30, Spec::command, "]"}, "Mod4+bracketright", "LOGO+bracketright", "<Super>bracketright"},
        {{49, Spec::option | Spec::command, "Space"},
         "Mod1+Mod4+space",
         "ALT+LOGO+space",
         "<Alt><Super>space"},
        {{0, 0, "A"}, std::nullopt, std::nullopt, std::nullopt},               // no modifier
        {{52, Spec::control, "?"}, std::nullopt, std::nullopt, std::nullopt},  // no such key
    };
    for (const Case& c : cases) {
        EXPECT_EQ(swayCombo(c.spec), c.sway) << c.spec.display();
        EXPECT_EQ(portalTrigger(c.spec), c.portal) << c.spec.display();
        EXPECT_EQ(gnomeAccelerator(c.spec), c.gnome) << c.spec.display();
    }
}

TEST(CommandKeysTest, ShellCommandsQuoteEveryWordButOptions) {
    struct Case {
        std::string program;
        std::vector<std::string> args;
        std::string line;
    };
    const Case cases[] = {
        {"/usr/bin/seamwright", {"--align"}, "'/usr/bin/seamwright' --align"},
        {"/home/me/my apps/seamwright",
         {"--apply-layout", "Home desk"},
         "'/home/me/my apps/seamwright' --apply-layout 'Home desk'"},
        {"/bin/seamwright",
         {"--apply-layout", "Bob's"},
         "'/bin/seamwright' --apply-layout 'Bob'\\''s'"},
        {"/bin/seamwright",
         {"--apply-layout", "$HOME; rm"},
         "'/bin/seamwright' --apply-layout '$HOME; rm'"},
    };
    for (const Case& c : cases) EXPECT_EQ(shellCommand(c.program, c.args), c.line);
}

TEST(CommandKeysTest, KeysForTheLayoutsThatHaveOneInStoreOrder) {
    const HotKeySpec f5{96, Spec::control, "F5"}, f6{97, Spec::control, "F6"};
    // Names follow the layout's id, whatever it holds, not its place.
    SavedLayout home{.id = "5F1C-A2", .name = "Home"}, office{.id = "o/ f", .name = "Office"},
        bare{.id = "B", .name = "Bare"};
    const auto keys =
        commandKeysFor(defaultAlign, defaultUndo, {{"5F1C-A2", f5}, {"o/ f", f6}, {"gone", f6}},
                       {office, bare, home});
    const std::vector<CommandKey> expected = {{defaultAlign, {"--align"}, "align"},
                                              {defaultUndo, {"--undo"}, "undo"},
                                              {f6, {"--apply-layout", "Office"}, "layout-o_2f_20f"},
                                              {f5, {"--apply-layout", "Home"}, "layout-5F1C-A2"}};
    EXPECT_EQ(keys, expected);
}

TEST(CommandKeysTest, APressRunsTheCommandItStandsFor) {
    struct Case {
        std::vector<std::string> args;
        std::string ran;
    };
    const Case cases[] = {
        {{"--align"}, "align"},
        {{"--undo"}, "undo"},
        {{"--apply-layout", "Home"}, "layout Home"},
        {{"--quit"}, ""},
        {{"--apply-layout"}, ""},
    };
    for (const Case& c : cases) {
        testing::LogCapture logs;
        std::string ran;
        const CommandActions actions{
            .align = [&] { ran = "align"; },
            .undo = [&] { ran = "undo"; },
            .applyLayout =
                [&](const std::string& name) {
                    ran = "layout " + name;
                    return ApplyOutcome{};
                },
            .quit = [&] { ran = "quit"; },
        };
        runKeyCommand(c.args, actions);
        EXPECT_EQ(ran, c.ran) << c.args.front();
        EXPECT_EQ(logs.messages().empty(), !c.ran.empty()) << c.args.front();
    }
}

}  // namespace
}  // namespace seam
