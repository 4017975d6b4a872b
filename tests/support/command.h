// Runs a shell command line and collects what it printed.
#pragma once

#include <string>

namespace seam::testing {

struct CommandRun {
    std::string out;    // standard output
    int exitCode = -1;  // -1 when it could not run or did not exit normally
};

CommandRun runCommand(const std::string& commandLine);

}  // namespace seam::testing
