#include "update/update_check.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <vector>

#include "update/support_switch.h"
#include "update/web_address.h"

namespace seam {

namespace update {

namespace {

constexpr const char* kFeedKey = "updateFeed";

// Each piece is a whole number with an optional sign; anything else, or a
// number too large to hold, is 0.
std::vector<long long> pieces(const std::string& v) {
    std::vector<long long> out;
    size_t start = 0;
    while (start <= v.size()) {
        size_t dot = v.find('.', start);
        if (dot == std::string::npos) dot = v.size();
        if (dot > start) {
            long long n = 0;
            const char* b = v.data() + start;
            if (*b == '+' && b + 1 < v.data() + dot && b[1] != '-') ++b;
            const char* e = v.data() + dot;
            const auto r = std::from_chars(b, e, n);
            out.push_back(r.ec == std::errc() && r.ptr == e ? n : 0);
        }
        start = dot + 1;
    }
    return out;
}

// The feed names the archive and its digest, which every later check trusts:
// only over HTTPS, or plain HTTP to this machine itself (nothing on a network
// can change that).
bool trustedFeedAddress(const std::string& text) {
    const auto a = parseWebAddress(text);
    if (!a || !a->host || a->host->empty() || a->userInfo) return false;
    const std::string scheme = asciiLower(a->scheme);
    if (scheme == "https") return true;
    const std::string host = asciiLower(*a->host);
    return scheme == "http" && (host == "127.0.0.1" || host == "localhost" || host == "[::1]");
}

}  // namespace

std::string feedAddress(const SettingsStore& store) {
    if (const auto custom = store.string(kFeedKey); custom && trustedFeedAddress(*custom))
        return *custom;
    return projectAddress("/dazodezarav/seamwright/version.json");
}

std::optional<CheckResult> receive(const std::optional<std::string>& data, int code,
                                   const std::optional<std::string>& err, double now,
                                   SettingsStore& store) {
    if (err || code != 200 || !data) return std::nullopt;
    auto feed = decodeFeed(*data);
    if (!feed) return std::nullopt;
    store.set(UpdateSchedule::key, SettingValue{now});
    const bool changed = SupportSwitch::update(feed->support, store);
    return CheckResult{std::move(*feed), changed};
}

bool newer(const std::string& a, const std::string& b) {
    const auto pa = pieces(a);
    const auto pb = pieces(b);
    for (size_t i = 0; i < std::max(pa.size(), pb.size()); ++i) {
        const auto x = i < pa.size() ? pa[i] : 0;
        const auto y = i < pb.size() ? pb[i] : 0;
        if (x != y) return x > y;
    }
    return false;
}

std::string isoTime(double seconds) {
    const std::time_t t = static_cast<std::time_t>(std::floor(seconds));
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

}  // namespace update

namespace UpdateSchedule {

bool due(std::optional<double> last, double now) {
    if (!last) return true;
    const double d = now - *last;
    return d < 0 || d >= interval;
}

std::optional<double> last(const SettingsStore& store) {
    // Whole seconds come back from the settings file as integers.
    const auto v = store.number(key);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

}  // namespace UpdateSchedule

}  // namespace seam
