// Built-in feature switches and the project's page addresses.
#pragma once

#include <string>

namespace seam::Features {

// On, Ctrl+Alt+Super+P opens photo mode; it has no menu item either way.
inline constexpr bool photo = false;
inline constexpr bool edgeTap = false;
inline constexpr bool autoAlign = false;

std::string supportURL(bool korean);
// For the current language.
std::string supportURL();
// The product page, where a release can be downloaded by hand.
std::string pageURL();

}  // namespace seam::Features
