// A monitor's persisted identity and the rules that recognise it again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace seam {

struct DisplayIdent {
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::optional<std::uint32_t> serialNumber;
    std::optional<std::string> serialString;
    bool builtin = false;

    bool hasSerial() const { return serialNumber.has_value() || serialString.has_value(); }
    bool operator==(const DisplayIdent&) const = default;
};

// Placeholder serials (0, 1111, 0x01010101, ...) identify nothing.
std::optional<std::uint32_t> usableSerialNumber(std::uint32_t value);
std::optional<std::string> usableSerialString(const std::optional<std::string>& value);

bool sameMonitor(const DisplayIdent& a, const DisplayIdent& b);

}  // namespace seam

template <>
struct std::hash<seam::DisplayIdent> {
    std::size_t operator()(const seam::DisplayIdent& d) const noexcept;
};
