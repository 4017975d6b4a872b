// A display UUID for a RandR output: name-based (RFC 4122 version 5, SHA-1), so the
// same monitor on the same connector gets the same UUID in every session.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace seam {

// Upper-case 8-4-4-4-12 text of the UUID named by the EDID bytes followed by the
// connector name, in Seamwright's own namespace. Saved layouts hold these: the
// text for given bytes must never change.
std::string outputUUID(std::span<const std::uint8_t> edid, const std::string& connector);

}  // namespace seam
