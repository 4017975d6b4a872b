// Runs a shell command line and collects what it printed.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace seam::testing {

struct CommandRun {
    std::string out;    // standard output
    int exitCode = -1;  // -1 when it could not run or did not exit normally
};

CommandRun runCommand(const std::string& commandLine);
// The same in two steps, for reading something else while it runs.
FILE* startCommand(const std::string& commandLine);
CommandRun finishCommand(FILE* started);

// The command line of the built program on a compositor's socket (a full path;
// its folder is the runtime folder), without an X display or a chosen backend;
// bus: the session bus, none when empty; settings: more NAME=value words.
std::string programOnWayland(const std::string& socket, const std::string& args,
                             const std::string& bus = "", const std::string& settings = "");

// Asks another process again until done holds, within the time; whether it did.
bool waitUntil(const std::function<bool()>& done, double seconds = 20);
// A file's whole text; empty when it cannot be read.
std::string fileText(const std::string& path);

}  // namespace seam::testing
