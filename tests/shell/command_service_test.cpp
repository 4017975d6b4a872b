// Commands from outside as the running program answers them, whatever carries them.
#include "shell/command_service.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

const BusAddress kAddress = commandBusAddress("io.github.seamwright.Seamwright");

struct Case {
    const char* label;
    std::string interface;
    std::string method;
    std::string signature;
    std::vector<std::string> args;
    ApplyOutcome applyOutcome;  // what applying the named layout comes to
    std::string ran;            // the actions run, in order
    CommandReply reply;
};

TEST(CommandServiceTest, AnswersAndRunsTheAskedActionOnly) {
    const std::string ours = kAddress.interface;
    const std::string err = kAddress.errorPrefix;
    const std::string bus = "org.freedesktop.DBus.Error.";
    const Case cases[] = {
        {"align", ours, "Align", "", {}, ApplyOutcome::applied, "align", Done{}},
        {"undo, no interface", "", "Undo", "", {}, ApplyOutcome::applied, "undo", Done{}},
        {"quit", ours, "Quit", "", {}, ApplyOutcome::applied, "quit", Done{}},
        {"apply",
         ours,
         "ApplyLayout",
         "s",
         {" Home "},
         ApplyOutcome::applied,
         "apply[ Home ]",
         Done{"applied"}},
        {"unknown layout",
         ours,
         "ApplyLayout",
         "s",
         {" Upper\n"},
         ApplyOutcome::unknownLayout,
         "apply[ Upper\n]",
         ErrorReply{err + "UnknownLayout", "no saved layout is named \"Upper\""}},
        {"other monitors",
         ours,
         "ApplyLayout",
         "s",
         {"Home"},
         ApplyOutcome::monitorsDiffer,
         "apply[Home]",
         ErrorReply{err + "MonitorsDiffer",
                    "the monitors connected now are not those of layout \"Home\""}},
        {"refused",
         ours,
         "ApplyLayout",
         "s",
         {"Home"},
         ApplyOutcome::refused,
         "apply[Home]",
         ErrorReply{err + "Refused",
                    "the display server refused to arrange the monitors as layout \"Home\" says"}},
        {"other interface",
         "org.example.Other",
         "Align",
         "",
         {},
         ApplyOutcome::applied,
         "",
         ErrorReply{bus + "UnknownInterface", "no interface org.example.Other"}},
        {"unknown method",
         ours,
         "Frobnicate",
         "",
         {},
         ApplyOutcome::applied,
         "",
         ErrorReply{bus + "UnknownMethod", "no method Frobnicate"}},
        {"apply without a name",
         ours,
         "ApplyLayout",
         "",
         {},
         ApplyOutcome::applied,
         "",
         ErrorReply{bus + "InvalidArgs", "ApplyLayout takes one text"}},
        {"apply with a number",
         ours,
         "ApplyLayout",
         "i",
         {},
         ApplyOutcome::applied,
         "",
         ErrorReply{bus + "InvalidArgs", "ApplyLayout takes one text"}},
        {"apply with a name and a number",
         ours,
         "ApplyLayout",
         "si",
         {"Home"},
         ApplyOutcome::applied,
         "",
         ErrorReply{bus + "InvalidArgs", "ApplyLayout takes one text"}},
        {"align with a name",
         ours,
         "Align",
         "s",
         {"Home"},
         ApplyOutcome::applied,
         "",
         ErrorReply{bus + "InvalidArgs", "Align takes nothing"}},
    };
    for (const Case& c : cases) {
        std::string ran;
        const CommandActions actions{
            .align = [&] { ran += "align"; },
            .undo = [&] { ran += "undo"; },
            .applyLayout =
                [&](const std::string& name) {
                    ran += "apply[" + name + "]";
                    return c.applyOutcome;
                },
            .quit = [&] { ran += "quit"; },
        };
        const CommandReply reply =
            answerCommand(kAddress, actions, c.interface, c.method, c.signature, c.args);
        EXPECT_EQ(ran, c.ran) << c.label;
        EXPECT_EQ(reply, c.reply) << c.label;
    }
}

TEST(CommandServiceTest, IntrospectionNamesEveryMethod) {
    const std::string xml = commandInterfaceXml(kAddress);
    for (const char* part : {"<interface name=\"io.github.seamwright.Seamwright\">", "\"Align\"",
                             "\"Undo\"", "\"ApplyLayout\"", "\"Quit\"", "type=\"s\""})
        EXPECT_NE(xml.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace seam
