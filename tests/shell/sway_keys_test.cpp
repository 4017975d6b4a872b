// The hot keys as sway bindings, against a stand-in for sway's IPC.
#include "shell/sway_keys.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"

namespace seam {
namespace {

using Spec = HotKeySpec;

TEST(SwayKeysTest, ExecLinesOnlyForWordsThatPassThroughUnchanged) {
    struct Case {
        std::string program;
        std::vector<std::string> args;
        std::optional<std::string> line;
    };
    const Case cases[] = {
        {"/opt/Seamwright.app/bin/seamwright",
         {"--align"},
         "exec '/opt/Seamwright.app/bin/seamwright' --align"},
        {"/home/me/my apps/seamwright",
         {"--apply-layout", "Home desk"},
         "exec '/home/me/my apps/seamwright' --apply-layout 'Home desk'"},
        {"/bin/seamwright",
         {"--apply-layout", "사무실"},
         "exec '/bin/seamwright' --apply-layout '사무실'"},
        {"/bin/seamwright", {"--apply-layout", "Bob's"}, std::nullopt},
        {"/bin/seamwright", {"--apply-layout", "a\\b"}, std::nullopt},
        {"/bin/seamwright", {"--apply-layout", "$HOME"}, std::nullopt},
        {"/bin/seamwright", {"--apply-layout", "a; exec x"}, std::nullopt},
        {"/bin/seamwright", {"--apply-layout", "a, b"}, std::nullopt},
        {"/bin/seamwright", {"--apply-layout", "two\nlines"}, std::nullopt},
        {"/tmp/\"odd\"/seamwright", {"--undo"}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(swayExec(c.program, c.args), c.line) << c.program;
}

// Answers each command with the next queued answer; success when none is queued.
struct FakeSway : SwayCommands {
    std::optional<std::vector<sway_ipc::CommandResult>> run(const std::string& command) override {
        sent.push_back(command);
        if (refuse.empty()) return std::vector<sway_ipc::CommandResult>{{true, ""}};
        auto answer = refuse.front();
        refuse.erase(refuse.begin());
        return answer;
    }
    std::vector<std::string> sent;
    std::vector<std::optional<std::vector<sway_ipc::CommandResult>>> refuse;
};

TEST(SwayKeysTest, BindingAgainRemovesTheOldBindingsFirstAndTheEndRemovesAll) {
    testing::LogCapture logs;
    FakeSway sway;
    const HotKeySpec f5{96, Spec::control | Spec::shift, "F5"};
    const HotKeySpec f6{97, Spec::control, "F6"};
    SavedLayout home{.id = "H", .name = "Home"}, office{.id = "O", .name = "Office"};
    {
        SwayKeys keys(sway, "/bin/seamwright");
        keys.bind(commandKeysFor(defaultAlign, defaultUndo, {}, {home}));
        keys.bind(commandKeysFor(defaultAlign, f6, {{"H", f5}, {"gone", f6}}, {office, home}));
    }
    EXPECT_EQ(sway.sent, (std::vector<std::string>{
                             "bindsym Ctrl+Mod1+Mod4+a exec '/bin/seamwright' --align",
                             "bindsym Ctrl+Mod1+Mod4+z exec '/bin/seamwright' --undo",
                             "unbindsym Ctrl+Mod1+Mod4+a",
                             "unbindsym Ctrl+Mod1+Mod4+z",
                             "bindsym Ctrl+Mod1+Mod4+a exec '/bin/seamwright' --align",
                             "bindsym Ctrl+F6 exec '/bin/seamwright' --undo",
                             "bindsym Ctrl+Shift+F5 exec '/bin/seamwright' --apply-layout 'Home'",
                             "unbindsym Ctrl+Mod1+Mod4+a",
                             "unbindsym Ctrl+F6",
                             "unbindsym Ctrl+Shift+F5",
                         }));
    EXPECT_TRUE(logs.messages().empty());
}

TEST(SwayKeysTest, RefusedAndUnwritableKeysStayUnboundAndAreLogged) {
    testing::LogCapture logs;
    FakeSway sway;
    sway.refuse = {std::vector<sway_ipc::CommandResult>{{false, "Invalid bindsym command"}},
                   std::nullopt};
    SwayKeys keys(sway, "/bin/seamwright");
    keys.bind({{defaultAlign, {"--align"}},
               {defaultUndo, {"--undo"}},
               {{96, Spec::control, "F5"}, {"--apply-layout", "Bob's"}},
               {{97, Spec::control, "F6"}, {"--apply-layout", "Desk"}}});
    EXPECT_EQ(keys.bound(), std::vector<std::string>{"Ctrl+F6"});
    EXPECT_EQ(sway.sent.size(), 3u);  // the F5 binding is never sent
    EXPECT_EQ(logs.messages(),
              (std::vector<std::string>{
                  "sway: \"bindsym Ctrl+Mod1+Mod4+a exec '/bin/seamwright' --align\" failed: "
                  "Invalid bindsym command",
                  "sway: \"bindsym Ctrl+Mod1+Mod4+z exec '/bin/seamwright' --undo\" failed: no "
                  "answer",
                  "sway: Ctrl+F5 left unbound: sway cannot run it as written",
              }));
}

}  // namespace
}  // namespace seam
