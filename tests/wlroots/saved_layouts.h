// Layouts stored for the program under test, as the program itself saves them.
#pragma once

#include <string>

#include "headless_sway.h"

namespace seam::testing {

// "Lower": the outputs as they are, the second 200 points further down, in the
// settings under configHome.
void storeLowerLayout(const HeadlessSway& sway, const std::string& configHome);

}  // namespace seam::testing
