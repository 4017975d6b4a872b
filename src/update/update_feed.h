// The update feed: a small JSON document naming the newest release and the
// support address.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace seam::update {

struct Entry {
    std::string version;
    std::string url;
    std::string sha256;
    std::optional<std::string> notes;
    bool operator==(const Entry&) const = default;
};

struct Feed {
    std::optional<Entry> mac;
    std::optional<std::string> support;
    bool operator==(const Feed&) const = default;
};

// Nothing when the text is not a JSON object, or when a present "mac" release
// lacks a required string. A "support" that is not text counts as absent.
std::optional<Feed> decodeFeed(std::string_view json);

}  // namespace seam::update
