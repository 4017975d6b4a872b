// The one virtual two-monitor X server that the X11 tests share. It starts
// before the first test, DISPLAY points at it, and it stops after the last.
#pragma once

#include <string>

#include "support/command.h"
#include "support/virtual_x_server.h"

namespace seam::testing {

VirtualXServer* xserver();

// Points xserver() and DISPLAY at another server for as long as it lives, so
// the program, the user and the other helpers work there.
class UseServer {
  public:
    explicit UseServer(VirtualXServer& server);
    ~UseServer();
    UseServer(const UseServer&) = delete;
    UseServer& operator=(const UseServer&) = delete;
};

// The RandR output XID of a named output, read over a fresh connection; 0 when absent.
unsigned long outputId(const std::string& name);

using ProgramRun = CommandRun;

// Runs the built program on the virtual server with these arguments, its log kept
// out of the home folder; `environment` goes before the command ("NAME=value ...").
ProgramRun runProgram(const std::string& arguments, const std::string& environment = "");

}  // namespace seam::testing
