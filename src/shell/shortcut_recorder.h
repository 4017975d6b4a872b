// What a key pressed while a shortcut is being recorded does, and what the
// shortcut buttons say.
#pragma once

#include <optional>
#include <string>

#include "shell/hot_key_spec.h"
#include "shell/shortcut_keys.h"

namespace seam {

inline constexpr std::uint32_t escapeKeyCode = 53;

struct RecordedKey {
    enum class Kind {
        cancel,   // Escape: recording ends, nothing changes
        invalid,  // no command, control or option, or no key name: beep, keep recording
        clash,    // another key id has it: beep, log, keep recording
        accept,   // the new key for the id being recorded
    };
    Kind kind = Kind::invalid;
    HotKeySpec spec;        // accept
    std::string clashWith;  // clash: the other key id
};

RecordedKey judgeRecordedKey(const std::string& recordingId, const HotKeySpec::KeyEvent& event,
                             const KeySpecs& specs);

// "Press keys… (Esc to cancel)" while recording id, its key's text, or "-".
std::string shortcutButtonTitle(const std::string& id, const std::optional<std::string>& recording,
                                const KeySpecs& specs);
// A clear button shows only for a key that exists and is not being recorded.
bool clearButtonHidden(const std::string& id, const std::optional<std::string>& recording,
                       const KeySpecs& specs);

}  // namespace seam
