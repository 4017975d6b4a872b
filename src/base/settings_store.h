// A small key-value store: the program's preferences and anything that must
// survive a restart go through this interface.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace seam {

using Bytes = std::vector<std::uint8_t>;
using SettingValue = std::variant<bool, std::int64_t, double, std::string, Bytes>;

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::optional<SettingValue> object(const std::string& key) const = 0;
    // Storing nothing removes the key.
    virtual void set(const std::string& key, std::optional<SettingValue> value) = 0;
    virtual void removeObject(const std::string& key) = 0;

    // Typed reads: nothing when the key is missing or holds another kind of value.
    std::optional<std::string> string(const std::string& key) const;
    std::optional<Bytes> data(const std::string& key) const;
    std::optional<double> number(const std::string& key) const;  // integers too
    std::optional<bool> boolean(const std::string& key) const;
};

class MemoryStore : public SettingsStore {
  public:
    std::map<std::string, SettingValue> values;

    std::optional<SettingValue> object(const std::string& key) const override;
    void set(const std::string& key, std::optional<SettingValue> value) override;
    void removeObject(const std::string& key) override;
};

}  // namespace seam
