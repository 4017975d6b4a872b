// The hot keys bound wherever the session lets them be: chooses the route once
// at launch (the portal is asked first, so the choice may come a moment later),
// says in the log which one it took, and keeps the latest keys for it.
#pragma once

#include <QDBusConnection>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/command_keys.h"

namespace seam {

class DesktopKeys : public CommandKeys {
  public:
    struct Parts {
        std::string platform;
        bool platformKeys = false;          // the platform grabs keys itself
        std::unique_ptr<CommandKeys> sway;  // null outside sway
        // GNOME's custom shortcuts; null outside GNOME or without them.
        std::function<std::unique_ptr<CommandKeys>()> gnome;
        std::function<void(const std::vector<std::string>& args)> pressed;
        // Where the portal is asked; the session bus when not set.
        std::optional<QDBusConnection> bus;
    };
    explicit DesktopKeys(Parts parts);
    ~DesktopKeys() override;

    void bind(const std::vector<CommandKey>& keys) override;
    void unbindAll() override;
    std::optional<KeyRoute> route() const { return route_; }

  private:
    void settle(KeyRoute route, std::unique_ptr<CommandKeys> keys);

    Parts parts_;
    std::optional<KeyRoute> route_;
    std::unique_ptr<CommandKeys> keys_;
    std::vector<CommandKey> wanted_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace seam
