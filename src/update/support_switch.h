// The switch that shows the menu item asking for support: on while the last
// good feed named an acceptable support address.
#pragma once

#include <optional>
#include <string>

#include "base/settings_store.h"

namespace seam::SupportSwitch {

inline constexpr const char* key = "support.feed";

// The trimmed address when it is HTTPS on the project host (or its "www."
// name); nothing otherwise.
std::optional<std::string> valid(const std::optional<std::string>& value);
bool isOn(const SettingsStore& store);
// Stores the address or removes it; true when the switch changed.
bool update(const std::optional<std::string>& value, SettingsStore& store);

}  // namespace seam::SupportSwitch
