#include "base/remote_command.h"

#include <algorithm>

namespace seam {

BusAddress commandBusAddress(std::string_view appId) {
    BusAddress a;
    a.service = appId;
    a.interface = appId;
    a.errorPrefix = std::string(appId) + ".Error.";
    // Object paths allow neither dots nor dashes.
    a.path = "/" + std::string(appId);
    std::replace(a.path.begin(), a.path.end(), '.', '/');
    std::replace(a.path.begin(), a.path.end(), '-', '_');
    return a;
}

std::optional<RemoteCall> remoteCall(const Command& command) {
    switch (command.job) {
        case Job::align:
            return RemoteCall{"Align", std::nullopt};
        case Job::undo:
            return RemoteCall{"Undo", std::nullopt};
        case Job::applyLayout:
            return RemoteCall{"ApplyLayout", command.layoutName};
        case Job::quit:
            return RemoteCall{"Quit", std::nullopt};
        default:
            return std::nullopt;
    }
}

namespace {
// The bus answers these when no program holds the name.
bool nobodyThere(const std::string& error) {
    return error == "org.freedesktop.DBus.Error.ServiceUnknown" ||
           error == "org.freedesktop.DBus.Error.NameHasNoOwner";
}
}  // namespace

RemoteResult remoteResult(const BusAddress& address, const RemoteCall& call,
                          const CallOutcome& outcome) {
    if (std::holds_alternative<Answered>(outcome)) return {};
    if (const auto* none = std::get_if<NoSessionBus>(&outcome)) {
        std::string line = "seamwright: no session bus, so no running Seamwright can be reached";
        if (!none->reason.empty()) line += " (" + none->reason + ")";
        return {1, line};
    }
    const ErrorReply& e = std::get<ErrorReply>(outcome);
    if (nobodyThere(e.name)) return {1, "seamwright: Seamwright is not running"};
    // The program's own refusals say everything in their message.
    if (e.name.starts_with(address.errorPrefix)) return {1, "seamwright: " + e.message};
    if (e.name == "org.freedesktop.DBus.Error.NoReply" ||
        e.name == "org.freedesktop.DBus.Error.Timeout")
        return {1, "seamwright: the running Seamwright did not answer"};
    return {1, "seamwright: " + call.method + " failed: " + e.name +
                   (e.message.empty() ? "" : ": " + e.message)};
}

}  // namespace seam
