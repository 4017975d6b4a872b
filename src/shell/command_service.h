// What the running program makes of a command from outside, whatever carried
// it: the command line's "--align", "--undo", "--apply-layout NAME", "--quit".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/remote_command.h"
#include "shell/layout_commands.h"

namespace seam {

struct CommandActions {
    std::function<void()> align;
    std::function<void()> undo;
    // Matched by name the way the store compares names.
    std::function<ApplyOutcome(const std::string& name)> applyLayout;
    // Must let the answer leave first: the caller waits for it.
    std::function<void()> quit;
};

struct Done {
    std::optional<std::string> result;
    bool operator==(const Done&) const = default;
};
using CommandReply = std::variant<Done, ErrorReply>;

// signature: the D-Bus type string of the arguments ("s" for one text); args
// are those arguments when they are texts.
CommandReply answerCommand(const BusAddress& address, const CommandActions& actions,
                           std::string_view interface, std::string_view method,
                           std::string_view signature, const std::vector<std::string>& args);

// The interface as introspection shows it.
std::string commandInterfaceXml(const BusAddress& address);

}  // namespace seam
