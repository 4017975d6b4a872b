// Commands from outside as the running program answers them, whatever carries them.
#include "shell/command_service.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

const BusAddress kAddress = commandBusAddress("io.github.seamwright.Seamwright");
const std::string kBusError = "org.freedesktop.DBus.Error.";

// Runs one call; ran gets the actions run, in order.
CommandReply call(std::string_view interface, std::string_view method, std::string_view signature,
                  const std::vector<std::string>& args, std::string& ran,
                  ApplyOutcome outcome = ApplyOutcome::applied) {
    const CommandActions actions{
        .align = [&] { ran += "align"; },
        .undo = [&] { ran += "undo"; },
        .applyLayout =
            [&](const std::string& name) {
                ran += "apply[" + name + "]";
                return outcome;
            },
        .quit = [&] { ran += "quit"; },
    };
    return answerCommand(kAddress, actions, interface, method, signature, args);
}

TEST(CommandServiceTest, EachMethodRunsItsAction) {
    struct Case {
        std::string interface, method, ran;
    };
    for (const Case& c : {Case{kAddress.interface, "Align", "align"}, Case{"", "Undo", "undo"},
                          Case{kAddress.interface, "Quit", "quit"}}) {
        std::string ran;
        EXPECT_EQ(call(c.interface, c.method, "", {}, ran), CommandReply{Done{}}) << c.method;
        EXPECT_EQ(ran, c.ran);
    }
}

TEST(CommandServiceTest, ApplyingALayoutAnswersWithTheOutcome) {
    const std::string err = kAddress.errorPrefix;
    struct Case {
        ApplyOutcome outcome;
        CommandReply reply;
    };
    const Case cases[] = {
        {ApplyOutcome::applied, Done{"applied"}},
        {ApplyOutcome::unknownLayout,
         ErrorReply{err + "UnknownLayout", "no saved layout is named \"Home\""}},
        {ApplyOutcome::monitorsDiffer,
         ErrorReply{err + "MonitorsDiffer",
                    "the monitors connected now are not those of layout \"Home\""}},
        {ApplyOutcome::refused,
         ErrorReply{err + "Refused",
                    "the display server refused to arrange the monitors as layout \"Home\" says"}},
    };
    for (const Case& c : cases) {
        std::string ran;
        // The name goes on as given; the message shows it trimmed.
        EXPECT_EQ(call(kAddress.interface, "ApplyLayout", "s", {" Home\n"}, ran, c.outcome),
                  c.reply);
        EXPECT_EQ(ran, "apply[ Home\n]");
    }
}

TEST(CommandServiceTest, MalformedCallsRunNothing) {
    struct Case {
        std::string interface, method, signature;
        std::vector<std::string> args;
        std::string error;
    };
    const std::string ours = kAddress.interface;
    const Case cases[] = {
        {"org.example.Other", "Align", "", {}, "UnknownInterface"},
        {ours, "Frobnicate", "", {}, "UnknownMethod"},
        {ours, "ApplyLayout", "", {}, "InvalidArgs"},
        {ours, "ApplyLayout", "i", {}, "InvalidArgs"},
        {ours, "ApplyLayout", "si", {"Home"}, "InvalidArgs"},
        {ours, "Align", "s", {"Home"}, "InvalidArgs"},
    };
    for (const Case& c : cases) {
        std::string ran;
        const CommandReply reply = call(c.interface, c.method, c.signature, c.args, ran);
        const auto* error = std::get_if<ErrorReply>(&reply);
        ASSERT_TRUE(error) << c.method << " " << c.signature;
        EXPECT_EQ(error->name, kBusError + c.error) << c.method << " " << c.signature;
        EXPECT_EQ(ran, "");
    }
}

}  // namespace
}  // namespace seam
