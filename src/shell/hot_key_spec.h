// One global hot key: the key's code, its modifiers and the name shown for it.
// Codes are the hardware-independent virtual key codes (A = 0, Z = 6) and the
// modifier bits those keyboards use, so stored keys read the same everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/platform_words.h"
#include "base/settings_store.h"

namespace seam {

struct HotKeySpec {
    static constexpr std::uint32_t command = 0x100;
    static constexpr std::uint32_t shift = 0x200;
    static constexpr std::uint32_t option = 0x800;
    static constexpr std::uint32_t control = 0x1000;
    static constexpr std::uint32_t ctrlOptCmd = 0x1900;

    std::uint32_t keyCode = 0;
    std::uint32_t mods = 0;
    std::string key;
    bool operator==(const HotKeySpec&) const = default;

    // The modifiers present in the order control, option, shift, command, then
    // the key, in the desktop's words: "Ctrl+Alt+Super+A" (or "⌃⌥⌘A").
    std::string display(const PlatformWords& words = platformWords()) const;

    std::string json() const;
    // All three keys are required.
    static std::optional<HotKeySpec> fromJson(const std::string& text);

    // Under "hotkey." + name; nothing when absent or undecodable.
    static std::optional<HotKeySpec> stored(const std::string& name, const SettingsStore& defaults);
    void save(const std::string& name, SettingsStore& defaults) const;

    // A key-down as the platform reports it, already in virtual key codes.
    struct KeyEvent {
        std::uint32_t keyCode = 0;
        bool control = false, option = false, shift = false, command = false;
        std::string characters;  // ignoring modifiers
    };
    // Nothing without control, option or command, or without a key name.
    static std::optional<HotKeySpec> from(const KeyEvent& event);
};

inline const HotKeySpec defaultAlign{0, HotKeySpec::ctrlOptCmd, "A"};
inline const HotKeySpec defaultUndo{6, HotKeySpec::ctrlOptCmd, "Z"};

// The fixed names of keys whose characters say nothing ("←", "F5", "Space").
std::optional<std::string> keyName(std::uint32_t keyCode);

}  // namespace seam
