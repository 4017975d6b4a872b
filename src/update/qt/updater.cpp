#include "update/qt/updater.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "base/dry_run.h"
#include "base/log.h"
#include "main/version.h"
#include "update/features.h"
#include "update/qt/app_bundle.h"
#include "update/support_switch.h"
#include "update/update_check.h"
#include "update/web_address.h"

namespace seam {

namespace {

constexpr double kFirstCheckDelay = 10;
constexpr int kCheckTimeoutMs = 15000;
constexpr int kDownloadTimeoutMs = 60000;

int statusOf(QNetworkReply* reply) {
    const QVariant v = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return v.isValid() ? v.toInt() : 0;
}

// Qt reports HTTP statuses such as 404 or 500 as errors; only failures to
// talk to the server count as errors here.
bool transportError(QNetworkReply* reply) {
    const int e = reply->error();
    if (e == QNetworkReply::NoError) return false;
    const bool httpStatus = (e >= 201 && e <= 299) || (e >= 401 && e <= 499);
    return !(httpStatus && statusOf(reply) > 0);
}

QNetworkRequest request(const QUrl& url, const std::string& current, int timeoutMs) {
    QNetworkRequest r(url);
    r.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    r.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    r.setTransferTimeout(timeoutMs);
    r.setRawHeader("User-Agent", QByteArray("Seamwright/") + QByteArray::fromStdString(current));
    return r;
}

std::optional<QUrl> addressOf(const std::string& text) {
    if (!parseWebAddress(text)) return std::nullopt;
    QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    if (!url.isValid()) return std::nullopt;
    return url;
}

}  // namespace

UpdaterSetup applicationSetup(SettingsStore& store, const Clock& clock, UpdateAlerts& alerts) {
    UpdaterSetup s;
    s.store = &store;
    s.clock = &clock;
    s.alerts = &alerts;
    s.current = kVersion;
    s.identifier = kBundleIdentifier;
    s.program = QCoreApplication::applicationFilePath();
    s.bundle = bundleOfProgram(s.program);
    s.pid = QCoreApplication::applicationPid();
    s.logFile = QString::fromStdString(logPath());
    s.quit = [] { QCoreApplication::quit(); };
    return s;
}

Updater::Updater(UpdaterSetup setup, QObject* parent) : QObject(parent), setup_(std::move(setup)) {
    // Explicit, though this manager has no cache to consult.
    net_.setCache(nullptr);
}

Updater::~Updater() {
    if (worker_.joinable()) worker_.join();
}

void Updater::start(Scheduler& scheduler, bool updateNow, WakeSource* wakes) {
    if (dryRun()) {
        log("update check skipped (dry run)");
        return;
    }
    scheduler_ = &scheduler;
    if (updateNow) {
        autoInstall = true;
        check(false);
    } else {
        scheduler.after(kFirstCheckDelay, [this] { check(false); });
    }
    scheduler.every(UpdateSchedule::interval, [this] { check(false); });
    if (wakes) wakes->start([this] { wake(); });
}

void Updater::wake() {
    if (!scheduler_) return;
    scheduler_->after(UpdateSchedule::wakeDelay,
                      [this] { checkIfDue("wake", setup_.clock->wallTime()); });
}

void Updater::check(bool manual) {
    if (manual && installing_) {
        setup_.alerts->alreadyInstalling();
        return;
    }
    const QUrl url(QString::fromStdString(update::feedAddress(*setup_.store)));
    QNetworkReply* reply = net_.get(request(url, setup_.current, kCheckTimeoutMs));
    connect(reply, &QNetworkReply::finished, this, [this, reply, manual] {
        reply->deleteLater();
        judge(reply, manual);
        emit checkFinished();
    });
}

void Updater::judge(QNetworkReply* reply, bool manual) {
    const int code = statusOf(reply);
    std::optional<std::string> err;
    std::optional<std::string> data;
    if (transportError(reply)) {
        err = reply->errorString().toStdString();
    } else {
        data = reply->readAll().toStdString();
    }
    const auto result = update::receive(data, code, err, setup_.clock->wallTime(), *setup_.store);
    if (result && result->supportChanged) {
        log(std::string("support menu ") + (SupportSwitch::isOn(*setup_.store) ? "on" : "off"));
        if (setup_.supportChanged) setup_.supportChanged();
    }
    if (result && result->feed.mac) {
        const update::Entry& release = *result->feed.mac;
        log("update check remote=" + release.version + " local=" + setup_.current);
        if (update::newer(release.version, setup_.current) && !release.url.empty()) {
            offer(release);
        } else if (manual) {
            setup_.alerts->upToDate(setup_.current);
        }
        return;
    }
    log("update check failed code=" + std::to_string(code) + " err=" + err.value_or("-"));
    if (manual) setup_.alerts->checkFailed();
}

void Updater::checkIfDue(const std::string& reason, double now) {
    const auto last = UpdateSchedule::last(*setup_.store);
    if (!UpdateSchedule::due(last, now)) {
        log("update check on " + reason + " skipped, last " + update::isoTime(*last));
        return;
    }
    log("update check on " + reason);
    check(false);
}

void Updater::offer(const update::Entry& entry) {
    // A second installation would race the first one's swap.
    if (installing_) {
        log("update offer skipped, installing already");
        return;
    }
    if (offering_) {
        log("update offer skipped, one is open");
        return;
    }
    if (!autoInstall) {
        offering_ = true;
        const bool accepted = setup_.alerts->offer(entry);
        offering_ = false;
        if (!accepted) return;
    }
    // The user asked for the update: an address that cannot be fetched is a
    // failed download, not nothing at all.
    if (const auto url = addressOf(entry.url)) {
        install(entry, *url);
    } else {
        fail("download");
    }
}

void Updater::install(const update::Entry& entry, const QUrl& url) {
    if (installing_) return;
    if (!setup_.bundle) {
        fail("not running from an app bundle " + setup_.program.toStdString());
        return;
    }
    installing_ = true;
    QNetworkReply* reply = net_.get(request(url, setup_.current, kDownloadTimeoutMs));
    connect(reply, &QNetworkReply::finished, this, [this, reply, entry] {
        reply->deleteLater();
        downloaded(reply, entry);
    });
}

void Updater::downloaded(QNetworkReply* reply, const update::Entry& entry) {
    if (transportError(reply) || statusOf(reply) != 200) {
        fail("download");
        return;
    }
    InstallJob job;
    job.archive = reply->readAll();
    job.entry = entry;
    job.target = *setup_.bundle;
    job.identifier = QString::fromStdString(setup_.identifier);
    job.pid = setup_.pid;
    job.logFile = setup_.logFile;
    if (worker_.joinable()) worker_.join();
    // Hashing and unpacking take a moment; keep the interface responsive.
    worker_ = std::thread([this, job = std::move(job), entry] {
        const InstallOutcome outcome = prepareInstall(job);
        QMetaObject::invokeMethod(
            this, [this, outcome, entry] { finishInstall(outcome, entry); }, Qt::QueuedConnection);
    });
}

void Updater::finishInstall(const InstallOutcome& outcome, const update::Entry& entry) {
    if (!outcome.started) {
        fail(outcome.failure);
        return;
    }
    log("update " + setup_.current + " -> " + entry.version + " swapping");
    emit installFinished(true);
    if (setup_.quit) setup_.quit();
}

void Updater::fail(const std::string& word) {
    log("update install failed: " + word);
    installing_ = false;
    setup_.alerts->installFailed();
    setup_.alerts->openPage(Features::pageURL());
    emit installFinished(false);
}

}  // namespace seam
