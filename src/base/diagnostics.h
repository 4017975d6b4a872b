// The "--movetest" and "--selftest" jobs, independent of the platform so they
// run against the simulated window server too.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "geometry/arrangement.h"

namespace seam {

struct JobResult {
    std::vector<std::string> lines;
    int exitCode = 0;
};

// wait(seconds) lets the window server settle between the steps.
JobResult moveTest(Arrangement& arrangement, const std::function<void(double)>& wait);

struct Check {
    std::string name;
    bool pass = false;
};
std::vector<Check> selfChecks();
JobResult selfTest();

}  // namespace seam
