// The report behind "--dump-displays": everything the identity machinery sees for
// each online display and the identity layouts will use, so that a user's report
// shows why two monitors are or are not told apart.
#pragma once

#include <string>
#include <string_view>

#include "platform/display_identity.h"

namespace seam {

class Arrangement;

// Lines joined by line feeds, no trailing line feed; the first names the
// backend, when one is given.
std::string dumpDisplays(Arrangement& arrangement, DisplayIdentitySource& source,
                         std::string_view backend = {});

}  // namespace seam
