// The built program as a user runs it on a compositor: a home of its own (not a
// first launch, no update checks), commands typed in a terminal, its log read
// back; and the user paths every compositor's end-to-end tests walk.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "support/command.h"
#include "support/headless_compositor.h"
#include "support/log_capture.h"

namespace seam::testing {

class UserSession {
  public:
    // bus: the session bus; env: more NAME=value words for every run.
    UserSession(std::string socket, std::string bus, std::string env = "");
    ~UserSession();  // quits a tray still running
    UserSession(const UserSession&) = delete;
    UserSession& operator=(const UserSession&) = delete;

    const std::string& home() const { return home_.path(); }
    std::string configHome() const { return home() + "/config"; }
    std::string command(const std::string& args, const std::string& more = "") const;
    CommandRun run(const std::string& args) const { return runCommand(command(args)); }
    std::string log() const;
    bool logShows(const std::string& text, double seconds = 20) const;
    // The tray program started with a log of its own, once it takes commands.
    void startTray(const std::string& more = "");
    void quitTray();

  private:
    TempDir home_;
    std::string socket_, bus_, env_;
    FILE* tray_ = nullptr;
};

// How a test reaches one compositor as a user would, and what it shows.
class Desk {
  public:
    virtual ~Desk() = default;
    virtual ShownOutputs outputs() const = 0;
    // Onto (x, y) of the layout and a left click, again until the log shows taken.
    virtual bool click(int x, int y, const std::string& taken) = 0;
    // Return into the program's question, again until answered holds.
    virtual bool pressReturn(const std::function<bool()>& answered) = 0;
};

// From a terminal, align mode; a click 20 points inside the first (main) output's right
// edge at height 300, one 15 points inside the second's left edge at secondY
// from its top, Return: the second output placed so the two points meet.
void alignByTwoClicksAndReturn(UserSession& user, Desk& desk, const std::string& first,
                               const std::string& second, int secondY);
// The tray started with "Lower" stored, applied by name and undone from a
// terminal: the second output 200 points down and back.
void applyLayoutByNameAndUndo(UserSession& user, Desk& desk, const std::string& second,
                              const std::string& backend);
// --movetest: the output seen 40 points right of where it was while the
// program runs, and back after.
void moveTestMovesAndReturns(const std::string& command, const std::function<int()>& outputX);

}  // namespace seam::testing
