// Layouts stored for the program under test, as the program itself saves them.
#pragma once

#include <string>

#include "platform/display_identity.h"
#include "platform/display_services.h"

namespace seam::testing {

// "Lower": the two displays as they are, the right one 200 points further down,
// in the settings under configHome.
void storeLowerLayout(DisplayServices& services, DisplayIdentitySource& identity,
                      const std::string& configHome);

}  // namespace seam::testing
