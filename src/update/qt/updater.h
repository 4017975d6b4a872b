// Checking the feed and installing a newer release: the entry point the
// application wires to its schedule and menu.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "base/settings_store.h"
#include "platform/clock.h"
#include "platform/wake.h"
#include "update/qt/installer.h"
#include "update/qt/update_alerts.h"
#include "update/update_feed.h"

class QNetworkReply;
class QUrl;

namespace seam {

struct UpdaterSetup {
    SettingsStore* store = nullptr;
    const Clock* clock = nullptr;
    UpdateAlerts* alerts = nullptr;
    std::string current;     // the running version
    std::string identifier;  // the running application's identifier
    // The bundle the program runs from; nothing for a system package, which
    // cannot replace itself.
    std::optional<QString> bundle;
    QString program;
    qint64 pid = 0;
    QString logFile;
    std::function<void()> quit;
    // The support switch changed: the menu's tail is rebuilt.
    std::function<void()> supportChanged;
};

// The running application's setup: its version, bundle, process and log.
UpdaterSetup applicationSetup(SettingsStore& store, const Clock& clock, UpdateAlerts& alerts);

class Updater : public QObject {
    Q_OBJECT
  public:
    explicit Updater(UpdaterSetup setup, QObject* parent = nullptr);
    ~Updater() override;

    // Set by "--update-now": a newer release is installed without asking.
    bool autoInstall = false;
    const std::string& current() const { return setup_.current; }

    // At launch: with "--update-now" a check at once that installs without
    // asking, otherwise the first check 10 s later; then one a day, and the due
    // one after each wake the source reports. Nothing in dry-run mode.
    void start(Scheduler& scheduler, bool updateNow, WakeSource* wakes = nullptr);
    // After a wake from sleep: the due check, a little later.
    void wake();

    // manual is true only for the menu command: only then are "up to date"
    // and failures shown.
    void check(bool manual);
    void checkIfDue(const std::string& reason, double now);
    void offer(const update::Entry& entry);
    void install(const update::Entry& entry, const QUrl& url);

  signals:
    void checkFinished();
    // swapping: the script runs and the application was asked to quit.
    void installFinished(bool swapping);

  private:
    void judge(QNetworkReply* reply, bool manual);
    void downloaded(QNetworkReply* reply, const update::Entry& entry);
    void finishInstall(const InstallOutcome& outcome, const update::Entry& entry);
    void fail(const std::string& word);

    UpdaterSetup setup_;
    QNetworkAccessManager net_;
    Scheduler* scheduler_ = nullptr;
    std::thread worker_;
    bool installing_ = false;
    // The offer is modal, but the daily timer keeps running under it.
    bool offering_ = false;
};

}  // namespace seam
