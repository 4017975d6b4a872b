// The command line, examined in a fixed order: the first option that applies
// names the one job the process runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace seam {

enum class Job {
    photo,
    renderGuide,
    dumpDisplays,
    renderSuggestion,
    renderSettings,
    dumpMenu,
    movetest,
    selftest,
    help,
    version,
    // Asked of the tray program that already runs.
    align,
    undo,
    applyLayout,
    quit,
    app,  // no diagnostic option: run the tray application
    // Internal, for the update's swap script: "--exchange-bundles A B" alone.
    exchangeBundles,
};

struct Command {
    Job job = Job::app;
    std::string path;                    // the value of a path-taking option
    std::string otherPath;               // the second folder of an exchange
    std::string layoutName;              // "--apply-layout" only
    std::optional<std::string> preview;  // "--photo" only
    bool support = false;                // "--dump-menu" only
    bool updateNow = false;              // application run only
};

// args without the program name.
Command examine(const std::vector<std::string>& args);

// The option that selects a job, as typed ("--photo").
const char* optionName(Job job);

std::string helpText();

}  // namespace seam
