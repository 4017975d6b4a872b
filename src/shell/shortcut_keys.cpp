#include "shell/shortcut_keys.h"

#include "base/log.h"

namespace seam {

KeySpecs ShortcutKeys::specs() const {
    KeySpecs m{{"align", align}, {"undo", undo}};
    for (const auto& [id, spec] : layouts) m[std::string(layoutKeyPrefix) + id] = spec;
    return m;
}

void ShortcutKeys::change(const std::string& id, const HotKeySpec& spec, SettingsStore& standard,
                          SettingsStore& prefs) {
    const bool layout = id.starts_with(layoutKeyPrefix);
    if (layout)
        layouts[id.substr(layoutKeyPrefix.size())] = spec;
    else if (id == "align")
        align = spec;
    else
        undo = spec;
    spec.save(id, layout ? prefs : standard);
    log("hotkey " + id + " = " + spec.display());
}

bool ShortcutKeys::clear(const std::string& id, SettingsStore& prefs) {
    if (!id.starts_with(layoutKeyPrefix)) return false;
    layouts.erase(id.substr(layoutKeyPrefix.size()));
    prefs.removeObject("hotkey." + id);
    log("hotkey " + id + " cleared");
    return true;
}

}  // namespace seam
