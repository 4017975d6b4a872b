// The compositor's display configuration service on the session bus: its
// replies turned into plain records, our records into its arguments.
#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/gnome/mutter_source.h"
#include "platform/gnome/mutter_state.h"

class QDBusMessage;

namespace seam {

inline constexpr const char* kMutterService = "org.gnome.Mutter.DisplayConfig";
inline constexpr const char* kMutterPath = "/org/gnome/Mutter/DisplayConfig";
inline constexpr const char* kMutterInterface = "org.gnome.Mutter.DisplayConfig";

// The GetCurrentState reply; nothing when it does not have the expected shape.
std::optional<MutterState> stateFromReply(const QDBusMessage& reply);

// The ApplyMonitorsConfig call for these records.
QDBusMessage applyCall(const MutterApply& apply);

// Runs a function on each MonitorsChanged signal.
class MonitorsChangedWatch : public QObject, public ChangeWatch {
    Q_OBJECT
  public:
    MonitorsChangedWatch(QDBusConnection bus, std::function<void()> onChange);
    ~MonitorsChangedWatch() override;
    bool connected() const { return connected_; }

  private slots:
    void monitorsChanged();

  private:
    QDBusConnection bus_;
    std::function<void()> onChange_;
    bool connected_ = false;
};

class MutterDisplayConfig : public MutterConfigSource {
  public:
    explicit MutterDisplayConfig(QDBusConnection bus = QDBusConnection::sessionBus())
        : bus_(std::move(bus)) {}

    // Whether the service's name has an owner on the bus.
    bool present() const;
    std::optional<MutterState> currentState(std::string* error = nullptr) override;
    bool apply(const MutterApply& apply, std::string* error = nullptr) override;
    std::unique_ptr<ChangeWatch> watch(std::function<void()> onChange) override;

  private:
    QDBusConnection bus_;
};

}  // namespace seam
