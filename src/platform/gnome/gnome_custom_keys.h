// Our hot keys as GNOME custom keyboard shortcuts, for GNOME sessions whose
// portal offers no global shortcuts: GNOME's settings daemon runs our command
// when the key is pressed. Only entries under our own paths are ever touched;
// the user's other custom shortcuts stay as they are, in their order.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/command_keys.h"

namespace seam {

inline constexpr const char* kMediaKeysSchema = "org.gnome.settings-daemon.plugins.media-keys";
inline constexpr const char* kCustomKeySchema =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
inline constexpr const char* kCustomKeyFolder =
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/";

// One custom shortcut as GNOME keeps it.
struct GnomeCustomKey {
    std::string path;  // ours: kCustomKeyFolder + "seamwright-" + name + "/"
    std::string name;
    std::string binding;  // "<Control><Alt><Super>a"
    std::string command;
    bool operator==(const GnomeCustomKey&) const = default;
};

bool isOurCustomKeyPath(const std::string& path);
// The keys GNOME can bind; one it cannot write is left out, with a log line.
std::vector<GnomeCustomKey> gnomeCustomKeys(const std::string& program,
                                            const std::vector<CommandKey>& keys);
// The custom shortcut list with ours replaced: the user's entries first as they
// were, then ours.
std::vector<std::string> mergedCustomKeyPaths(const std::vector<std::string>& current,
                                              const std::vector<GnomeCustomKey>& ours);

// Writes through GSettings; nullptr when GNOME's media keys schema is not installed.
std::unique_ptr<CommandKeys> openGnomeCustomKeys(const std::string& program);

}  // namespace seam
