// Hot keys that the desktop itself watches and that run our commands, for
// sessions where no client may grab a key: each key with the command line
// arguments it stands for, and how the desktops write the keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "layouts/saved_layout.h"
#include "platform/key_names.h"
#include "shell/hot_key_spec.h"
#include "shell/shortcut_keys.h"

namespace seam {

struct CommandKey {
    HotKeySpec key;
    std::vector<std::string> args;  // after the program: {"--apply-layout", "Home"}
    // Stays with its action ("align", "undo", "layout-" + the layout's id in
    // letters, digits and dashes), so what a desktop keeps under it follows.
    std::string name;
    bool operator==(const CommandKey&) const = default;
};

// The align and undo keys, then the key of each saved layout that has one, in
// store order; layouts are named, as "--apply-layout" takes them.
std::vector<CommandKey> commandKeysFor(const HotKeySpec& align, const HotKeySpec& undo,
                                       const LayoutKeys& layoutKeys,
                                       const std::vector<SavedLayout>& layouts);

// Where the desktop keeps the keys: binds the whole set at once, replacing the
// one bound before.
class CommandKeys {
  public:
    virtual ~CommandKeys() = default;
    virtual void bind(const std::vector<CommandKey>& keys) = 0;
    virtual void unbindAll() = 0;
};

// How the hot keys reach the program, in order of preference: sway's
// bindings, the platform's own grabs, the shortcut portal, GNOME's custom
// shortcuts.
enum class KeyRoute { sway, platform, portal, gnome, none };
struct KeyRouteOffers {
    bool platformKeys = false;
    bool sway = false;
    bool portal = false;
    bool gnome = false;
};
KeyRoute chooseKeyRoute(const KeyRouteOffers& offers);
// The one launch line that names the route, e.g. "hot keys: portal".
std::string keyRouteLine(KeyRoute route, std::string_view platform);

// Runs the command a bound key stands for, as the command line would ask it.
struct CommandActions;
void runKeyCommand(const std::vector<std::string>& args, const CommandActions& actions);

// The shortcut portal's trigger: "CTRL+ALT+SHIFT+LOGO+a"; nothing without a
// key name or a modifier.
std::optional<std::string> portalTrigger(const HotKeySpec& spec);
// Sway's key combination: "Ctrl+Mod1+Shift+Mod4+a"; nothing as above.
std::optional<std::string> swayCombo(const HotKeySpec& spec);
// GNOME's accelerator: "<Control><Alt><Shift><Super>a"; nothing as above.
std::optional<std::string> gnomeAccelerator(const HotKeySpec& spec);
// One line a shell splits back into exactly these words.
std::string shellCommand(const std::string& program, const std::vector<std::string>& args);
// What the desktop's shortcut list shows for the key.
std::string commandKeyDescription(const CommandKey& key);

}  // namespace seam
