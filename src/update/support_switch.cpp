#include "update/support_switch.h"

#include "update/web_address.h"

namespace seam::SupportSwitch {

namespace {
bool space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace

std::optional<std::string> valid(const std::optional<std::string>& value) {
    if (!value) return std::nullopt;
    std::string_view s = *value;
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    if (s.empty()) return std::nullopt;
    const auto address = parseWebAddress(s);
    if (!address || !address->host || asciiLower(address->scheme) != "https") return std::nullopt;
    const std::string host = asciiLower(*address->host);
    const std::string project(kProjectHost);
    if (host != project && host != "www." + project) return std::nullopt;
    return std::string(s);
}

bool isOn(const SettingsStore& store) {
    const auto stored = store.string(key);
    return stored && valid(stored).has_value();
}

bool update(const std::optional<std::string>& value, SettingsStore& store) {
    const bool before = isOn(store);
    if (const auto address = valid(value)) {
        store.set(key, SettingValue{*address});
    } else {
        store.removeObject(key);
    }
    return isOn(store) != before;
}

}  // namespace seam::SupportSwitch
