// The few words that follow the desktop rather than the language: what the
// built-in screen and the tray are called, how a key combination is written and
// which modifiers the settings hint asks for. Every other text is the same on
// every desktop; the build picks its desktop's table.
//
// On Linux a combination reads as the desktops write it: "Ctrl+Alt+Super+A",
// modifiers in the order Ctrl, Alt, Shift, Super, joined by "+". Key names are
// what the key cap says: letters in upper case, "F5", "Space", "Enter", "Tab",
// "Backspace", and the arrows as "←", "→", "↑", "↓". Stored keys keep the
// names they were recorded with; only the shown text changes.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace seam {

struct PlatformWords {
    std::string_view builtinKo, builtinEn;  // the built-in screen
    std::string_view trayKo, trayEn;        // where the tray icon sits, as the guide says it
    // Modifier names in the order they are shown.
    std::string_view control, option, shift, command;
    std::string_view separator;  // between modifiers and before the key
    // The modifiers the settings hint names, as a list in each language.
    std::string_view requiredKo, requiredEn;
    // A menu item's own key equivalent, before its key ("⌘" or "Ctrl+").
    std::string_view menuKey;
    // Stored key names that this desktop shows otherwise.
    std::span<const std::pair<std::string_view, std::string_view>> keyNames;
};

extern const PlatformWords linuxWords;
extern const PlatformWords macWords;

// The table of the desktop this program was built for.
const PlatformWords& platformWords();

// A stored key name as the desktop shows it.
std::string_view shownKeyName(std::string_view stored,
                              const PlatformWords& words = platformWords());

// In the current language.
std::string builtinScreenName(const PlatformWords& words = platformWords());
std::string trayName(const PlatformWords& words = platformWords());

}  // namespace seam
