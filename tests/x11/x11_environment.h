// The one virtual two-monitor X server that the X11 tests share. It starts
// before the first test, DISPLAY points at it, and it stops after the last.
#pragma once

#include <string>

#include "support/command.h"
#include "support/virtual_x_server.h"

namespace seam::testing {

VirtualXServer* xserver();

// The RandR output XID of a named output, read over a fresh connection; 0 when absent.
unsigned long outputId(const std::string& name);

using ProgramRun = CommandRun;

// Runs the built program on the virtual server with these arguments, its log kept
// out of the home folder; `environment` goes before the command ("NAME=value ...").
ProgramRun runProgram(const std::string& arguments, const std::string& environment = "");

}  // namespace seam::testing
