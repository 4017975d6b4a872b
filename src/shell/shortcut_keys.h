// The shortcuts the settings window edits, and where each is kept: the align
// and undo keys in the standard settings, layout keys in the program's store.
#pragma once

#include <map>
#include <string>

#include "base/settings_store.h"
#include "shell/hot_key_spec.h"

namespace seam {

// Layout id to its hot key.
using LayoutKeys = std::map<std::string, HotKeySpec>;
// Key id ("align", "undo", "layout." + layout id) to its hot key.
using KeySpecs = std::map<std::string, HotKeySpec>;

inline constexpr std::string_view layoutKeyPrefix = "layout.";

// The delegate's own fields, edited in place.
struct ShortcutKeys {
    HotKeySpec& align;
    HotKeySpec& undo;
    LayoutKeys& layouts;

    KeySpecs specs() const;
    // A recorded key or a restored default: set, saved, logged.
    void change(const std::string& id, const HotKeySpec& spec, SettingsStore& standard,
                SettingsStore& prefs);
    // Only layout keys can be cleared; false (and nothing done) for the others.
    bool clear(const std::string& id, SettingsStore& prefs);
};

}  // namespace seam
