// Whether a name has an owner on the session bus, asked before Qt starts (Qt's
// own bus connection must not exist before its application does).
#pragma once

namespace seam {

// False as well when there is no session bus.
bool sessionBusHasOwner(const char* name);

}  // namespace seam
