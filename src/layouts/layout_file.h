// The persisted container of all layouts and its exact JSON form: one compact
// object, keys sorted at every level, dates as seconds since 2001.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "layouts/saved_layout.h"

namespace seam {

struct LayoutFile {
    int version = 1;
    std::vector<SavedLayout> layouts;
    bool operator==(const LayoutFile&) const = default;
};

// Nothing when a number is not finite or a text is not valid UTF-8: such a file
// could not be read back.
std::optional<std::vector<std::uint8_t>> encodeLayoutFile(const LayoutFile& file);
// Nothing unless the bytes are one JSON object with every required key of the
// right type. Never throws.
std::optional<LayoutFile> decodeLayoutFile(std::span<const std::uint8_t> bytes);

}  // namespace seam
