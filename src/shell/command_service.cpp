#include "shell/command_service.h"

#include "layouts/unicode_text.h"

namespace seam {

namespace {
std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

std::optional<ErrorReply> applyError(const BusAddress& a, ApplyOutcome outcome,
                                     const std::string& asked) {
    switch (outcome) {
        case ApplyOutcome::applied:
            return std::nullopt;
        case ApplyOutcome::unknownLayout:
            return ErrorReply{a.errorPrefix + "UnknownLayout",
                              "no saved layout is named " + quoted(asked)};
        case ApplyOutcome::monitorsDiffer:
            return ErrorReply{
                a.errorPrefix + "MonitorsDiffer",
                "the monitors connected now are not those of layout " + quoted(asked)};
        case ApplyOutcome::refused:
            return ErrorReply{a.errorPrefix + "Refused",
                              "the display server refused to arrange the monitors as layout " +
                                  quoted(asked) + " says"};
    }
    return std::nullopt;
}
}  // namespace

CommandReply answerCommand(const BusAddress& address, const CommandActions& actions,
                           std::string_view interface, std::string_view method,
                           std::string_view signature, const std::vector<std::string>& args) {
    // A call may leave the interface out; then the method name alone decides.
    if (!interface.empty() && interface != address.interface)
        return ErrorReply{"org.freedesktop.DBus.Error.UnknownInterface",
                          "no interface " + std::string(interface)};
    const bool takesName = method == "ApplyLayout";
    const std::function<void()>* plain = method == "Align"  ? &actions.align
                                         : method == "Undo" ? &actions.undo
                                         : method == "Quit" ? &actions.quit
                                                            : nullptr;
    if (!plain && !takesName)
        return ErrorReply{"org.freedesktop.DBus.Error.UnknownMethod",
                          "no method " + std::string(method)};
    if (signature != (takesName ? "s" : "") || args.size() != (takesName ? 1u : 0u))
        return ErrorReply{"org.freedesktop.DBus.Error.InvalidArgs",
                          std::string(method) + (takesName ? " takes one text" : " takes nothing")};
    if (plain) {
        if (*plain) (*plain)();
        return Done{};
    }
    const std::string asked(trimBlanks(args[0]));
    const ApplyOutcome outcome =
        actions.applyLayout ? actions.applyLayout(args[0]) : ApplyOutcome::unknownLayout;
    if (auto error = applyError(address, outcome, asked)) return *error;
    return Done{"applied"};
}

std::string commandInterfaceXml(const BusAddress& address) {
    return "  <interface name=\"" + address.interface +
           "\">\n"
           "    <method name=\"Align\"/>\n"
           "    <method name=\"Undo\"/>\n"
           "    <method name=\"ApplyLayout\">\n"
           "      <arg name=\"name\" type=\"s\" direction=\"in\"/>\n"
           "      <arg name=\"result\" type=\"s\" direction=\"out\"/>\n"
           "    </method>\n"
           "    <method name=\"Quit\"/>\n"
           "  </interface>\n";
}

}  // namespace seam
