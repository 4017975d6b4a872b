// Judging a feed response, comparing versions and the 24-hour schedule.
#pragma once

#include <optional>
#include <string>

#include "base/settings_store.h"
#include "update/update_feed.h"

namespace seam {

namespace update {

struct CheckResult {
    Feed feed;
    bool supportChanged = false;
};

// The "updateFeed" setting when it holds an absolute address, else the built-in one.
std::string feedAddress(const SettingsStore& store);

// Nothing when the check failed (an error, a status other than 200, no body, or
// a body that is not a feed); then the store is untouched. Otherwise records the
// time and the support address.
std::optional<CheckResult> receive(const std::optional<std::string>& data, int code,
                                   const std::optional<std::string>& err, double now,
                                   SettingsStore& store);

// Dotted versions compared number by number; missing or unreadable pieces are 0.
bool newer(const std::string& a, const std::string& b);

// "2026-12-07T01:02:03Z"; seconds since 1970, fractions dropped.
std::string isoTime(double seconds);

}  // namespace update

namespace UpdateSchedule {

inline constexpr const char* key = "update.lastCheck";
inline constexpr double interval = 86400;
inline constexpr double wakeDelay = 30;

// No last time, a last time in the future (the clock went back) or one at
// least a day old: due.
bool due(std::optional<double> last, double now);
// Seconds since 1970; a stored value that is not a time counts as none.
std::optional<double> last(const SettingsStore& store);

}  // namespace UpdateSchedule

}  // namespace seam
