#include "base/remote_command.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

TEST(RemoteCommandTest, AddressFollowsTheApplicationId) {
    struct Case {
        const char* appId;
        const char* path;
    };
    for (const Case& c :
         {Case{"io.github.seamwright.Seamwright", "/io/github/seamwright/Seamwright"},
          Case{"org.example.my-tool", "/org/example/my_tool"}}) {
        const BusAddress a = commandBusAddress(c.appId);
        EXPECT_EQ(a.service, c.appId);
        EXPECT_EQ(a.interface, c.appId);
        EXPECT_EQ(a.path, c.path);
        EXPECT_EQ(a.errorPrefix, std::string(c.appId) + ".Error.");
    }
}

TEST(RemoteCommandTest, OnlyTheCommandsGoToTheRunningProgram) {
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> method;
        std::optional<std::string> argument;
    };
    const Case cases[] = {
        {{"--align"}, "Align", std::nullopt},
        {{"--undo"}, "Undo", std::nullopt},
        {{"--apply-layout", " Home "}, "ApplyLayout", " Home "},
        {{"--quit"}, "Quit", std::nullopt},
        {{}, std::nullopt, std::nullopt},
        {{"--apply-layout"}, std::nullopt, std::nullopt},
        {{"--dump-menu"}, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto call = remoteCall(examine(c.args));
        ASSERT_EQ(call.has_value(), c.method.has_value()) << ::testing::PrintToString(c.args);
        if (!call) continue;
        EXPECT_EQ(call->method, *c.method);
        EXPECT_EQ(call->argument, c.argument);
    }
}

TEST(RemoteCommandTest, EachOutcomeGivesItsStatusAndLine) {
    const BusAddress a = commandBusAddress("io.github.seamwright.Seamwright");
    const RemoteCall apply{"ApplyLayout", "Upper"};
    struct Case {
        CallOutcome outcome;
        int exitCode;
        std::string line;
    };
    const Case cases[] = {
        {Answered{}, 0, ""},
        {NoSessionBus{"Failed to connect"}, 1,
         "seamwright: no session bus, so no running Seamwright can be reached (Failed to connect)"},
        {NoSessionBus{""}, 1,
         "seamwright: no session bus, so no running Seamwright can be reached"},
        {ErrorReply{"org.freedesktop.DBus.Error.ServiceUnknown", "The name is not activatable"}, 1,
         "seamwright: Seamwright is not running"},
        {ErrorReply{"org.freedesktop.DBus.Error.NameHasNoOwner", ""}, 1,
         "seamwright: Seamwright is not running"},
        {ErrorReply{"io.github.seamwright.Seamwright.Error.UnknownLayout",
                    "no saved layout is named \"Upper\""},
         1, "seamwright: no saved layout is named \"Upper\""},
        {ErrorReply{"org.freedesktop.DBus.Error.NoReply", "Did not receive a reply"}, 1,
         "seamwright: the running Seamwright did not answer"},
        {ErrorReply{"org.freedesktop.DBus.Error.UnknownObject", "No such object"}, 1,
         "seamwright: ApplyLayout failed: org.freedesktop.DBus.Error.UnknownObject: No such "
         "object"},
    };
    for (const Case& c : cases) {
        const RemoteResult r = remoteResult(a, apply, c.outcome);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.line;
        EXPECT_EQ(r.error, c.line);
    }
}

}  // namespace
}  // namespace seam
