#include "shell/shortcut_recorder.h"

#include "base/text.h"

namespace seam {

RecordedKey judgeRecordedKey(const std::string& recordingId, const HotKeySpec::KeyEvent& event,
                             const KeySpecs& specs) {
    if (event.keyCode == escapeKeyCode) return {RecordedKey::Kind::cancel};
    const auto spec = HotKeySpec::from(event);
    if (!spec) return {RecordedKey::Kind::invalid};
    for (const auto& [id, other] : specs)
        if (id != recordingId && other == *spec) return {RecordedKey::Kind::clash, *spec, id};
    return {RecordedKey::Kind::accept, *spec};
}

std::string shortcutButtonTitle(const std::string& id, const std::optional<std::string>& recording,
                                const KeySpecs& specs) {
    if (recording == id) return T("키 조합을 누르세요… (Esc 취소)", "Press keys… (Esc to cancel)");
    const auto it = specs.find(id);
    return it == specs.end() ? "-" : it->second.display();
}

bool clearButtonHidden(const std::string& id, const std::optional<std::string>& recording,
                       const KeySpecs& specs) {
    return recording == id || specs.find(id) == specs.end();
}

}  // namespace seam
