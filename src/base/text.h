// Language choice behind every visible text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace seam {

// Reads an environment variable; nullptr when it is not set.
using EnvLookup = std::function<const char*(const char*)>;

// The user's first preferred language: the first entry of LANGUAGE, else
// LC_ALL, LC_MESSAGES, LANG. "C", "POSIX" or nothing count as "en".
std::string preferredLanguage(const EnvLookup& env);
bool koreanFromEnvironment(const EnvLookup& env);

// Set once at start-up; never changes while the process runs.
void setKorean(bool korean);
bool isKorean();

std::string T(std::string_view ko, std::string_view en);

}  // namespace seam
