// The hot keys as sway key bindings that run our own commands: sway gives no
// client a global key, but its IPC adds bindings at run time. Bound at start and
// whenever the keys change, removed at quit, so nothing stays in sway behind us.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layouts/saved_layout.h"
#include "platform/sway_ipc.h"
#include "shell/hot_key_spec.h"
#include "shell/shortcut_keys.h"

namespace seam {

// The key's xkb name ("a", "F5", "Left"); nothing for a code without one.
std::optional<std::string> swayKeyName(std::uint32_t keyCode);
// "Ctrl+Mod1+Shift+Mod4+a"; nothing without a key name or a modifier.
std::optional<std::string> swayCombo(const HotKeySpec& spec);
// "exec 'PROGRAM' --apply-layout 'Home'"; nothing when a word holds what sway
// or the shell would read for themselves (quotes, backslashes, $, ; and ",",
// control codes).
std::optional<std::string> swayExec(const std::string& program,
                                    const std::vector<std::string>& args);

struct SwayKey {
    HotKeySpec key;
    std::vector<std::string> args;  // after the program: {"--apply-layout", "Home"}
};

// The align and undo keys, then the key of each saved layout that has one, in
// store order; layouts are named, as "--apply-layout" takes them.
std::vector<SwayKey> swayKeysFor(const HotKeySpec& align, const HotKeySpec& undo,
                                 const LayoutKeys& layoutKeys,
                                 const std::vector<SavedLayout>& layouts);

class SwayKeys {
  public:
    SwayKeys(SwayCommands& sway, std::string program);
    // Nothing stays bound in sway behind the program.
    ~SwayKeys();
    SwayKeys(const SwayKeys&) = delete;
    SwayKeys& operator=(const SwayKeys&) = delete;
    // Removes the bindings made before, then binds these; each refusal is logged.
    void bind(const std::vector<SwayKey>& keys);
    void unbindAll();
    const std::vector<std::string>& bound() const { return bound_; }

  private:
    bool run(const std::string& command);

    SwayCommands& sway_;
    std::string program_;
    std::vector<std::string> bound_;  // the combos, for unbinding
};

}  // namespace seam
