// Commands the command line hands to the tray program that already runs, over
// the session bus: where that program answers, what is asked of it, and what
// the command line makes of the answer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "base/command_line.h"

namespace seam {

// All derived from the application id, so a build under another id never
// talks to this one.
struct BusAddress {
    std::string service;    // the well-known name
    std::string path;       // the one object
    std::string interface;  // its methods: Align, Undo, ApplyLayout(s) -> s, Quit
    std::string errorPrefix;
};
BusAddress commandBusAddress(std::string_view appId);

struct RemoteCall {
    std::string method;
    std::optional<std::string> argument;  // the layout name
};
// Nothing for the jobs this process runs itself.
std::optional<RemoteCall> remoteCall(const Command& command);

// How a call went.
struct Answered {};
struct NoSessionBus {
    std::string reason;
};
struct ErrorReply {
    std::string name;  // a D-Bus error name
    std::string message;
    bool operator==(const ErrorReply&) const = default;
};
using CallOutcome = std::variant<Answered, NoSessionBus, ErrorReply>;

struct RemoteResult {
    int exitCode = 0;
    std::string error;  // one line for standard error; empty on success
};
RemoteResult remoteResult(const BusAddress& address, const RemoteCall& call,
                          const CallOutcome& outcome);

// The line a second start prints before it leaves the first one running.
inline constexpr const char* kAlreadyRunningLine = "Seamwright is already running";

}  // namespace seam
