#include "base/settings_store.h"

namespace seam {

std::optional<std::string> SettingsStore::string(const std::string& key) const {
    auto v = object(key);
    if (v && std::holds_alternative<std::string>(*v)) return std::get<std::string>(*v);
    return std::nullopt;
}

std::optional<Bytes> SettingsStore::data(const std::string& key) const {
    auto v = object(key);
    if (v && std::holds_alternative<Bytes>(*v)) return std::get<Bytes>(*v);
    return std::nullopt;
}

std::optional<double> SettingsStore::number(const std::string& key) const {
    auto v = object(key);
    if (!v) return std::nullopt;
    if (auto* d = std::get_if<double>(&*v)) return *d;
    if (auto* i = std::get_if<std::int64_t>(&*v)) return static_cast<double>(*i);
    return std::nullopt;
}

std::optional<bool> SettingsStore::boolean(const std::string& key) const {
    auto v = object(key);
    if (v && std::holds_alternative<bool>(*v)) return std::get<bool>(*v);
    return std::nullopt;
}

std::optional<SettingValue> MemoryStore::object(const std::string& key) const {
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

void MemoryStore::set(const std::string& key, std::optional<SettingValue> value) {
    if (!value) {
        values.erase(key);
        return;
    }
    values[key] = std::move(*value);
}

void MemoryStore::removeObject(const std::string& key) {
    values.erase(key);
}

}  // namespace seam
