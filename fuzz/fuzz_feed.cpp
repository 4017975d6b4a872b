// The feed comes from the network: decoding must never fault or throw, and
// what it keeps must be what the document said. The support address in it goes
// through the address rule, which must accept only what it would accept again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string_view>

#include "update/support_switch.h"
#include "update/update_feed.h"

namespace {

void checkAddressRule(const std::string& text) {
    const auto accepted = seam::SupportSwitch::valid(text);
    if (!accepted) return;
    if (seam::SupportSwitch::valid(*accepted) != accepted) std::abort();
    if (text.find(*accepted) == std::string::npos) std::abort();  // trimmed, case kept
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkAddressRule(std::string(text));
    const auto feed = seam::update::decodeFeed(text);
    if (!feed) return 0;
    const auto doc = nlohmann::json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) std::abort();
    const bool textSupport = doc.contains("support") && doc["support"].is_string();
    if (feed->support.has_value() != textSupport) std::abort();
    if (textSupport && *feed->support != doc["support"].get<std::string>()) std::abort();
    if (feed->support) checkAddressRule(*feed->support);
    if (feed->mac && (feed->mac->version != doc["mac"]["version"].get<std::string>() ||
                      feed->mac->sha256 != doc["mac"]["sha256"].get<std::string>()))
        std::abort();
    if (seam::update::decodeFeed(text) != feed) std::abort();
    return 0;
}
