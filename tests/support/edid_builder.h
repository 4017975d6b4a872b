// Builds complete 128-byte EDID base blocks as monitors send them: header,
// manufacturer, product and serial, version 1.4, a 1920x1080 detailed timing,
// the text descriptors asked for, a range-limits descriptor and a correct checksum.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace seam::testing {

struct EdidFields {
    std::string pnp = "SAM";  // three letters A-Z
    std::uint16_t product = 0;
    std::uint32_t serial = 0;
    std::optional<std::string> serialText;  // 0xFF descriptor at 72
    std::optional<std::string> name;        // 0xFC descriptor at 90
};

std::vector<std::uint8_t> buildEdid(const EdidFields& fields);

// The byte that makes the block sum to 0 modulo 256.
std::uint8_t edidChecksum(const std::vector<std::uint8_t>& block);

}  // namespace seam::testing
