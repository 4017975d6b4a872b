#include "update/update_feed.h"

#include <nlohmann/json.hpp>

namespace seam::update {

namespace {

using nlohmann::json;

// A required member must be text; an optional one may also be missing or null.
bool readText(const json& o, const char* key, std::string& out) {
    const auto it = o.find(key);
    if (it == o.end() || !it->is_string()) return false;
    out = it->get<std::string>();
    return true;
}

bool readOptionalText(const json& o, const char* key, std::optional<std::string>& out) {
    const auto it = o.find(key);
    if (it == o.end() || it->is_null()) return true;
    if (!it->is_string()) return false;
    out = it->get<std::string>();
    return true;
}

}  // namespace

std::optional<Feed> decodeFeed(std::string_view text) {
    const json doc = json::parse(text.begin(), text.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return std::nullopt;
    Feed feed;
    if (const auto mac = doc.find("mac"); mac != doc.end() && !mac->is_null()) {
        if (!mac->is_object()) return std::nullopt;
        Entry e;
        if (!readText(*mac, "version", e.version) || !readText(*mac, "url", e.url) ||
            !readText(*mac, "sha256", e.sha256) || !readOptionalText(*mac, "notes", e.notes))
            return std::nullopt;
        feed.mac = std::move(e);
    }
    if (const auto s = doc.find("support"); s != doc.end() && s->is_string())
        feed.support = s->get<std::string>();
    return feed;
}

}  // namespace seam::update
