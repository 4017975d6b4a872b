// The single owner of the saved layouts: loads them once, answers lookups and
// writes the whole list back after every change.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings_store.h"
#include "layouts/saved_layout.h"

namespace seam {

// Trimmed of white space and line breaks, then case-folded: " Home " collides with "HOME".
std::string normalizedName(std::string_view name);

class LayoutStore {
  public:
    using Read = std::function<std::optional<Bytes>()>;
    using Write = std::function<void(const Bytes&)>;
    using Now = std::function<Date()>;

    static constexpr const char* key = "layouts.v1";
    static constexpr const char* unreadableKey = "layouts.v1.unreadable";
    static constexpr int version = 1;

    LayoutStore(Read read, Write write, Now now);
    // Over the settings store; unreadable bytes found there are kept under
    // "layouts.v1.unreadable" before they are replaced.
    LayoutStore(SettingsStore& defaults, Now now);

    const std::vector<SavedLayout>& layouts() const { return layouts_; }

    void reload();
    std::optional<Bytes> encoded() const;

    const SavedLayout* layout(std::string_view id) const;
    const SavedLayout* layoutNamed(std::string_view name,
                                   std::optional<std::string_view> except = std::nullopt) const;
    std::string nextDefaultName() const;

    void upsert(const SavedLayout& layout);
    void remove(std::string_view id);
    bool rename(std::string_view id, std::string_view newName);
    void markApplied(std::string_view id, std::optional<Date> at = std::nullopt);
    void setAutoApply(std::string_view id, bool on);

  private:
    SavedLayout* find(std::string_view id);
    void save();

    Read read_;
    Write write_;
    Now now_;
    std::vector<SavedLayout> layouts_;
};

}  // namespace seam
