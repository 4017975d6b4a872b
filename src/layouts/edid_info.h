// The monitor's own description of itself, as far as identity needs it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace seam {

struct EDIDInfo {
    std::uint32_t vendor = 0;          // packed manufacturer letters, bytes 8-9 big-endian
    std::uint32_t product = 0;         // bytes 10-11 little-endian
    std::uint32_t serial = 0;          // bytes 12-15 little-endian, unfiltered
    std::optional<std::string> alnum;  // last 0xFF descriptor
    std::optional<std::string> name;   // last 0xFC descriptor
    bool operator==(const EDIDInfo&) const = default;
};

// No checksum is verified: monitors with a wrong checksum still identify themselves.
std::optional<EDIDInfo> parseEDID(std::span<const std::uint8_t> data);

// Three manufacturer letters, each 64 + a 5-bit field ("SAM" for 0x4C2D).
std::string pnpID(std::uint32_t vendor);

}  // namespace seam
