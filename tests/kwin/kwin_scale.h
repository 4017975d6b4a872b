// Sets one output's scale through KWin's output management, as a display
// settings tool would: the code under test never changes scales, but the test
// compositor's outputs start out alike.
#pragma once

#include <string>

namespace seam::testing {

// True when KWin applied it.
bool setKwinScale(const std::string& socket, const std::string& output, double scale);

}  // namespace seam::testing
