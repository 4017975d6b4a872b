// The login item as an XDG autostart entry: a desktop file in the user's
// autostart folder, written whole and removed whole.
#pragma once

#include <optional>
#include <string>

#include "base/text.h"
#include "platform/login_item.h"

namespace seam {

// $XDG_CONFIG_HOME/autostart/seamwright.desktop (XDG_CONFIG_HOME only when
// absolute), else $HOME/.config/autostart/...; empty without either.
std::string autostartEntryPath(const EnvLookup& env);

// The Exec value for a program path, quoted and escaped as desktop files need;
// nothing for a path that cannot be written there (a line break).
std::optional<std::string> desktopExec(const std::string& program);
// The whole entry that starts program; nothing when the path cannot be written.
std::optional<std::string> autostartEntry(const std::string& program);
// Whether a desktop session would start this entry: a [Desktop Entry] group
// not marked Hidden=true or X-GNOME-Autostart-enabled=false.
bool autostartEntryEnabled(const std::string& content);

class AutostartLoginItem : public LoginItemService {
  public:
    AutostartLoginItem(std::string entryPath, std::string program)
        : path_(std::move(entryPath)), program_(std::move(program)) {}

    bool enabled() const override;
    std::optional<std::string> setEnabled(bool on) override;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::string program_;
};

// The menu command's work: flips the item. failed when the change could not be made
// (the reason is logged); checked is what the item reports afterwards.
struct LoginToggle {
    bool failed = false;
    bool checked = false;
};
LoginToggle flipLoginItem(LoginItemService& item);

// "Couldn’t change the login item"
std::string loginItemFailedText();

}  // namespace seam
