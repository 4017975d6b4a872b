// The feed comes from the network: decoding must never fault or throw, and
// what it keeps must be what the document said.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string_view>

#include "update/update_feed.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto feed = seam::update::decodeFeed(text);
    if (!feed) return 0;
    const auto doc = nlohmann::json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) std::abort();
    if (feed->support != (doc.contains("support") && doc["support"].is_string()
                              ? std::optional(doc["support"].get<std::string>())
                              : std::nullopt))
        std::abort();
    if (feed->mac && (feed->mac->version != doc["mac"]["version"].get<std::string>() ||
                      feed->mac->sha256 != doc["mac"]["sha256"].get<std::string>()))
        std::abort();
    if (seam::update::decodeFeed(text) != feed) std::abort();
    return 0;
}
