// The update dialogs' texts in the current language.
#pragma once

#include <optional>
#include <string>

namespace seam::UpdateTexts {

std::string ok();
std::string upToDate(const std::string& current);
std::string checkFailed();
std::string offerMessage(const std::string& version);
std::string offerInformative(const std::optional<std::string>& notes);
std::string updateNow();
std::string later();
std::string alreadyInstalling();
std::string installFailed();

}  // namespace seam::UpdateTexts
