// A display UUID for a RandR output: name-based (RFC 4122 version 5, SHA-1), so the
// same monitor on the same connector gets the same UUID in every session.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace seam {

std::array<std::uint8_t, 20> sha1(std::span<const std::uint8_t> data);

// Upper-case 8-4-4-4-12 text of the version 5 UUID of `name` in `nameSpace`.
std::string nameBasedUUID(const std::array<std::uint8_t, 16>& nameSpace,
                          std::span<const std::uint8_t> name);

// From the EDID bytes followed by the connector name, in Seamwright's own namespace.
std::string outputUUID(std::span<const std::uint8_t> edid, const std::string& connector);

}  // namespace seam
