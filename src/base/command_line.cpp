#include "base/command_line.h"

#include <algorithm>

namespace seam {

namespace {
struct Option {
    const char* name;
    Job job;
    bool takesValue;
};
// Order of examination; it decides, not the order on the command line.
constexpr Option kOptions[] = {
    {"--photo", Job::photo, true},
    {"--render-guide", Job::renderGuide, true},
    {"--dump-displays", Job::dumpDisplays, false},
    {"--render-suggestion", Job::renderSuggestion, true},
    {"--render-settings", Job::renderSettings, true},
    {"--dump-menu", Job::dumpMenu, false},
    {"--movetest", Job::movetest, false},
    {"--selftest", Job::selftest, false},
    {"--help", Job::help, false},
    {"--version", Job::version, false},
    {"--align", Job::align, false},
    {"--undo", Job::undo, false},
    {"--apply-layout", Job::applyLayout, true},
    {"--quit", Job::quit, false},
};

// The argument after the first occurrence of name, if there is one.
std::optional<std::string> valueAfter(const std::vector<std::string>& args, const char* name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end() || std::next(it) == args.end()) return std::nullopt;
    return *std::next(it);
}

bool has(const std::vector<std::string>& args, const char* name) {
    return std::find(args.begin(), args.end(), name) != args.end();
}
}  // namespace

Command examine(const std::vector<std::string>& args) {
    Command cmd;
    // Never typed by a user: only in this exact form does it apply.
    if (args.size() == 3 && args[0] == "--exchange-bundles") {
        cmd.job = Job::exchangeBundles;
        cmd.path = args[1];
        cmd.otherPath = args[2];
        return cmd;
    }
    for (const Option& o : kOptions) {
        if (o.takesValue) {
            auto value = valueAfter(args, o.name);
            if (!value) continue;  // a value option without its value is ignored
            cmd.job = o.job;
            (o.job == Job::applyLayout ? cmd.layoutName : cmd.path) = *value;
        } else {
            if (!has(args, o.name)) continue;
            cmd.job = o.job;
        }
        if (o.job == Job::photo) cmd.preview = valueAfter(args, "--preview");
        if (o.job == Job::dumpMenu) cmd.support = has(args, "--support");
        return cmd;
    }
    cmd.updateNow = has(args, "--update-now");
    return cmd;
}

const char* optionName(Job job) {
    for (const Option& o : kOptions)
        if (o.job == job) return o.name;
    return "";
}

std::string helpText() {
    return "usage: seamwright [option]\n"
           "With no option, starts the tray application, unless it already runs.\n"
           "  --photo PATH [--preview OUT]  analyse a photo of the two screens\n"
           "  --render-guide PATH           draw the guide window to a PNG\n"
           "  --dump-displays               print the attached displays and their identity\n"
           "  --render-suggestion PATH      draw the layout suggestion panel to a PNG\n"
           "  --render-settings PATH        draw the settings window to a PNG\n"
           "  --dump-menu [--support]       print the titles of the tray menu\n"
           "  --movetest                    move the second display 40 points and back\n"
           "  --selftest                    run the built-in geometry checks\n"
           "  --update-now                  (with the application) check for updates at once\n"
           "  --help                        print this text\n"
           "  --version                     print the version\n"
           "Commands to the Seamwright that already runs (over the session bus):\n"
           "  --align                       start align mode\n"
           "  --undo                        undo the last move\n"
           "  --apply-layout NAME           apply the saved layout of that name\n"
           "  --quit                        quit it\n"
           "Environment: SEAMWRIGHT_DRY_RUN=1 only logs display changes and keeps\n"
           "separate settings.\n";
}

}  // namespace seam
