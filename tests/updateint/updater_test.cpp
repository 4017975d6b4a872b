#include "update/qt/updater.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <algorithm>
#include <filesystem>

#include "base/dry_run.h"
#include "fixtures.h"
#include "main/version.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_wake.h"
#include "support/log_capture.h"
#include "update/features.h"
#include "update/qt/installer.h"
#include "update/swap_script.h"
#include "update/update_check.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::TinyHttpServer;

struct RecordingAlerts : UpdateAlerts {
    std::vector<std::string> upToDates, offers, pages;
    int checkFailures = 0, alreadyInstallings = 0, installFailures = 0;
    bool answer = true;
    std::function<void()> whileOffered;  // runs while the question is open
    void alreadyInstalling() override { ++alreadyInstallings; }
    void upToDate(const std::string& current) override { upToDates.push_back(current); }
    void checkFailed() override { ++checkFailures; }
    bool offer(const update::Entry& e) override {
        offers.push_back(e.version);
        if (whileOffered) whileOffered();
        return answer;
    }
    void installFailed() override { ++installFailures; }
    void openPage(const std::string& url) override { pages.push_back(url); }
};

bool hasLine(const testing::LogCapture& log, const std::string& line) {
    return std::ranges::count(log.messages(), line) > 0;
}

std::string linesOf(const testing::LogCapture& log) {
    std::string s;
    for (const auto& m : log.messages()) s += m + "\n";
    return s;
}

class UpdaterTest : public ::testing::Test {
  protected:
    // Sockets need the application before they are made.
    struct AppFirst {
        AppFirst() { testing::application(); }
    } appFirst;

    void SetUp() override {
        root = dir.path();
        apps = root + "/apps";
        fs::create_directories(apps);
        fs::create_directories(root + "/outside");
        running = apps + "/" + kBundleName;
        store.set("updateFeed", SettingValue{server.url("/version.json")});
    }

    void TearDown() override {
        if (fakeApp.state() != QProcess::NotRunning) {
            fakeApp.kill();
            fakeApp.waitForFinished();
        }
        if (mounted) ::umount2(apps.c_str(), MNT_DETACH);
        fs::permissions(apps, fs::perms::owner_all);
    }

    void makeRunningBundle() {
        testing::writeItems(
            apps + "/", testing::bundleItems("", "1.0.0", kBundleIdentifier, root + "/started"));
    }

    // The application being updated: a process the script waits for.
    std::unique_ptr<Updater> makeUpdater(bool inBundle = true) {
        fakeApp.start("sleep", {"60"});
        fakeApp.waitForStarted();
        UpdaterSetup s;
        s.store = &store;
        s.clock = &clock;
        s.alerts = &alerts;
        s.current = "1.0.0";
        s.identifier = kBundleIdentifier;
        if (inBundle) s.bundle = QString::fromStdString(running);
        s.program = "/usr/bin/seamwright";
        s.pid = fakeApp.processId();
        s.logFile = QString::fromStdString(log.path());
        s.quit = [this] {
            ++quits;
            fakeApp.kill();
            fakeApp.waitForFinished();  // reaped, so the script sees it gone
        };
        s.supportChanged = [this] { ++supportChanges; };
        auto u = std::make_unique<Updater>(s);
        QObject::connect(u.get(), &Updater::checkFinished, [this] { ++checks; });
        QObject::connect(u.get(), &Updater::installFinished, [this](bool swapping) {
            installed = true;
            swapped = swapping;
        });
        return u;
    }

    bool checksReach(int n) {
        return testing::pumpUntil([&] { return checks == n; });
    }
    // One check through the network, to its end.
    bool checked(Updater& u, bool manual) {
        const int n = checks + 1;
        u.check(manual);
        return checksReach(n);
    }

    // The feed names `address` for the archive, which is served at /update.zip.
    void serveRelease(const QByteArray& archive, const std::string& sha256,
                      const std::string& address = "/update.zip") {
        server.route("/update.zip", {200, archive});
        server.route("/version.json",
                     {200, QByteArray::fromStdString(R"({"mac":{"version":"1.1.0","url":")" +
                                                     server.url(address) + R"(","sha256":")" +
                                                     sha256 + R"("}})")});
    }

    static bool isUpdateFolder(const std::string& rel) {
        return rel.rfind(std::string("apps/") + kUpdateFolderPrefix, 0) == 0;
    }

    // Made beside the bundle, so the swap's moves stay on one file system.
    int updateFolders() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(apps))
            n += e.path().filename().string().rfind(kUpdateFolderPrefix, 0) == 0;
        return n;
    }

    // Runs one automatic install to its end; true when it swapped.
    bool runInstall(Updater& u) {
        u.autoInstall = true;
        u.check(false);
        EXPECT_TRUE(testing::pumpUntil([&] { return installed; })) << linesOf(log);
        return swapped;
    }

    testing::TempDir dir;
    testing::LogCapture log;
    std::string root, apps, running;
    TinyHttpServer server;
    MemoryStore store;
    ManualClock clock;
    RecordingAlerts alerts;
    QProcess fakeApp;
    int quits = 0, supportChanges = 0, checks = 0;
    bool mounted = false, installed = false, swapped = false;
};

QByteArray release(const std::string& root, const std::string& version = "1.1.0",
                   const std::string& prefix = "") {
    return testing::makeZip(
        testing::bundleItems(prefix, version, kBundleIdentifier, root + "/started"));
}

std::string upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

TEST_F(UpdaterTest, NewerReleaseInstallsSwapsAndStartsTheNewBundle) {
    makeRunningBundle();
    const QByteArray zip = release(root);
    serveRelease(zip, upper(sha256Hex(zip)));
    auto u = makeUpdater();
    ASSERT_TRUE(runInstall(*u)) << linesOf(log);
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(alerts.offers.empty());  // no question with autoInstall
    // The script starts the bundle now at the running one's place.
    // The file shows before the started program has written its line.
    const std::string started = running + "/" + kBundleExecutable + " 1.1.0\n";
    EXPECT_TRUE(testing::pumpUntil([&] { return testing::fileText(root + "/started") == started; }))
        << testing::fileText(root + "/started") << linesOf(log);
    EXPECT_NE(testing::fileText(running + "/" + kBundleInfo).find("<string>1.1.0</string>"),
              std::string::npos);
    EXPECT_TRUE(hasLine(log, "update check remote=1.1.0 local=1.0.0"));
    EXPECT_TRUE(hasLine(log, "update 1.0.0 -> 1.1.0 swapping"));
    EXPECT_TRUE(hasLine(log, "swap.sh: replaced the app")) << linesOf(log);
    for (const auto& e : fs::directory_iterator(apps))
        EXPECT_EQ(e.path().filename(), kBundleName);  // nothing left aside
    ASSERT_EQ(server.requests().size(), 2u);
    for (const auto& r : server.requests()) EXPECT_EQ(r.userAgent, "Seamwright/1.0.0");
}

// One check through the network, as the menu (manual) or the schedule runs it.
struct CheckCase {
    const char* name;
    int status;
    const char* body;
    bool manual;
    const char* logLine;
    int upToDate, failures, offers;
};

class CheckTest : public UpdaterTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckTest, LogsAndAlertsAsTheResponseSays) {
    const CheckCase& c = GetParam();
    std::string body = c.body;
    if (const auto at = body.find("@url"); at != std::string::npos)
        body.replace(at, 4, server.url("/update.zip"));
    server.route("/version.json", {c.status, QByteArray::fromStdString(body)});
    alerts.answer = false;  // "Later"
    auto u = makeUpdater();
    ASSERT_TRUE(checked(*u, c.manual));
    EXPECT_TRUE(hasLine(log, c.logLine)) << linesOf(log);
    EXPECT_EQ(alerts.upToDates.size(), size_t(c.upToDate));
    if (c.upToDate) {
        EXPECT_EQ(alerts.upToDates[0], "1.0.0");
    }
    EXPECT_EQ(alerts.checkFailures, c.failures);
    EXPECT_EQ(alerts.offers.size(), size_t(c.offers));
    EXPECT_EQ(server.count("/update.zip"), 0);  // "Later" downloads nothing
    EXPECT_EQ(server.requests().at(0).userAgent, "Seamwright/1.0.0");
}

const char* kSame = R"({"mac":{"version":"1.0","url":"@url","sha256":"00"}})";
const char* kNewer = R"({"mac":{"version":"1.0.1","url":"@url","sha256":"00"}})";
const char* kNewerNoUrl = R"({"mac":{"version":"1.0.1","url":"","sha256":"00"}})";

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckTest,
    ::testing::Values(CheckCase{"ManualServerError", 500, kNewer, true,
                                "update check failed code=500 err=-", 0, 1, 0},
                      CheckCase{"AutomaticServerError", 500, kNewer, false,
                                "update check failed code=500 err=-", 0, 0, 0},
                      CheckCase{"ManualHtml", 200, "<html>", true,
                                "update check failed code=200 err=-", 0, 1, 0},
                      CheckCase{"ManualNoRelease", 200, R"({"support":"x"})", true,
                                "update check failed code=200 err=-", 0, 1, 0},
                      CheckCase{"ManualUpToDate", 200, kSame, true,
                                "update check remote=1.0 local=1.0.0", 1, 0, 0},
                      CheckCase{"AutomaticUpToDate", 200, kSame, false,
                                "update check remote=1.0 local=1.0.0", 0, 0, 0},
                      CheckCase{"NewerWithoutAddress", 200, kNewerNoUrl, true,
                                "update check remote=1.0.1 local=1.0.0", 1, 0, 0},
                      CheckCase{"NewerAnsweredLater", 200, kNewer, false,
                                "update check remote=1.0.1 local=1.0.0", 0, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdaterTest, NetworkErrorIsLoggedWithItsDescription) {
    quint16 closed = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closed = probe.serverPort();
    }
    store.set("updateFeed", SettingValue{"http://127.0.0.1:" + std::to_string(closed) + "/v.json"});
    store.set(UpdateSchedule::key, SettingValue{123.0});
    auto u = makeUpdater();
    ASSERT_TRUE(checked(*u, true));
    const auto lines = log.messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("update check failed code=0 err=", 0), 0u) << lines[0];
    EXPECT_NE(lines[0], "update check failed code=0 err=-");
    EXPECT_EQ(alerts.checkFailures, 1);
    EXPECT_EQ(UpdateSchedule::last(store), 123.0);
}

TEST_F(UpdaterTest, SupportSwitchChangeIsLoggedAndReported) {
    server.route("/version.json", {200, R"({"support":"https://www.seamwright.org/s"})"});
    auto u = makeUpdater();
    ASSERT_TRUE(checked(*u, false));
    EXPECT_TRUE(hasLine(log, "support menu on"));
    EXPECT_EQ(supportChanges, 1);
    EXPECT_EQ(UpdateSchedule::last(store), clock.wallTime());
    ASSERT_TRUE(checked(*u, false));  // the same address: no change
    EXPECT_EQ(supportChanges, 1);
    server.route("/version.json", {200, R"({"support":{"ko":"x"}})"});
    ASSERT_TRUE(checked(*u, false));
    EXPECT_TRUE(hasLine(log, "support menu off"));
    EXPECT_EQ(supportChanges, 2);
}

TEST_F(UpdaterTest, LaunchScheduleChecksAfterTenSecondsThenDailyAndAfterWakes) {
    server.route("/version.json", {200, "{}"});
    ManualScheduler scheduler(clock);
    SimWake wakes;
    auto u = makeUpdater();
    u->start(scheduler, false, &wakes);
    scheduler.advance(9.9);
    EXPECT_EQ(checks, 0);
    EXPECT_TRUE(server.requests().empty());
    scheduler.advance(0.1);
    ASSERT_TRUE(checksReach(1));
    scheduler.advance(86400 - 10 - 0.1);
    EXPECT_EQ(checks, 1);
    scheduler.advance(0.1);
    ASSERT_TRUE(checksReach(2));
    const double success = clock.wallTime();

    // The check a day ago was a success: a wake now is not due; 30 s after a
    // wake a day later it is.
    wakes.wake();
    scheduler.advance(29.9);
    EXPECT_EQ(log.messages().size(), 2u);
    scheduler.advance(0.1);
    EXPECT_EQ(log.messages().back(),
              "update check on wake skipped, last " + update::isoTime(success));
    store.set(UpdateSchedule::key, SettingValue{clock.wallTime() - 25 * 3600});
    wakes.wake();
    scheduler.advance(29.9);
    EXPECT_EQ(log.messages().size(), 3u);
    scheduler.advance(0.1);
    EXPECT_EQ(log.messages().back(), "update check on wake");
    ASSERT_TRUE(checksReach(3));
    EXPECT_FALSE(u->autoInstall);
}

TEST_F(UpdaterTest, UpdateNowChecksAtOnceAndInstallsWithoutAsking) {
    ManualScheduler scheduler(clock);
    auto u = makeUpdater();
    server.route("/version.json", {200, "{}"});
    u->start(scheduler, true);
    EXPECT_TRUE(u->autoInstall);
    ASSERT_TRUE(checksReach(1));
    EXPECT_EQ(scheduler.pending(), 1u);  // only the daily timer
}

TEST_F(UpdaterTest, DryRunSchedulesNothing) {
    ManualScheduler scheduler(clock);
    SimWake wakes;
    auto u = makeUpdater();
    overrideDryRun(true);
    u->start(scheduler, true, &wakes);
    overrideDryRun(std::nullopt);
    EXPECT_EQ(scheduler.pending(), 0u);
    EXPECT_FALSE(wakes.started());
    EXPECT_FALSE(u->autoInstall);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"dry-run update check skipped (dry run)"});
}

TEST_F(UpdaterTest, ProgramOutsideABundleSendsTheUserToTheDownloadPage) {
    const QByteArray zip = release(root);
    serveRelease(zip, sha256Hex(zip));
    auto u = makeUpdater(false);
    EXPECT_FALSE(runInstall(*u));
    EXPECT_TRUE(
        hasLine(log, "update install failed: not running from an app bundle /usr/bin/seamwright"))
        << linesOf(log);
    EXPECT_EQ(server.count("/update.zip"), 0);
    EXPECT_EQ(alerts.installFailures, 1);
    EXPECT_EQ(alerts.pages, std::vector<std::string>{Features::pageURL()});
    EXPECT_EQ(updateFolders(), 0);
}

TEST_F(UpdaterTest, UnusableArchiveAddressIsAFailedDownloadNotSilence) {
    makeRunningBundle();
    server.route("/version.json",
                 {200, R"({"mac":{"version":"2.0","url":"no address","sha256":"0"}})"});
    auto u = makeUpdater();
    ASSERT_TRUE(checked(*u, true));  // the dialog is answered "Update Now"
    EXPECT_EQ(alerts.offers, std::vector<std::string>{"2.0"});
    EXPECT_TRUE(hasLine(log, "update install failed: download")) << linesOf(log);
    EXPECT_EQ(alerts.pages, std::vector<std::string>{Features::pageURL()});
}

TEST_F(UpdaterTest, CheckWhileTheOfferIsOpenShowsNoSecondOffer) {
    makeRunningBundle();
    const QByteArray zip = release(root);
    serveRelease(zip, sha256Hex(zip));
    auto u = makeUpdater();
    alerts.answer = false;
    bool again = true;
    alerts.whileOffered = [&] {
        if (!std::exchange(again, false)) return;
        u->check(false);  // the daily timer fires under the open question
        EXPECT_TRUE(checksReach(1));
    };
    u->check(false);
    ASSERT_TRUE(checksReach(2));
    EXPECT_EQ(alerts.offers, std::vector<std::string>{"1.1.0"});
    EXPECT_TRUE(hasLine(log, "update offer skipped, one is open")) << linesOf(log);
    // Closed, the next check offers it again.
    ASSERT_TRUE(checked(*u, false));
    EXPECT_EQ(alerts.offers.size(), 2u);
}

TEST_F(UpdaterTest, CheckDuringADownloadStartsNoSecondInstallation) {
    makeRunningBundle();
    const QByteArray zip = release(root);
    serveRelease(zip, sha256Hex(zip));
    server.hold("/update.zip");
    auto u = makeUpdater();
    u->autoInstall = true;
    u->check(false);
    ASSERT_TRUE(testing::pumpUntil([&] { return server.count("/update.zip") == 1; }));
    u->check(false);  // the daily timer, say, while the download runs
    ASSERT_TRUE(checksReach(2));
    EXPECT_TRUE(hasLine(log, "update offer skipped, installing already")) << linesOf(log);
    // The menu's command says so instead of checking again.
    u->check(true);
    EXPECT_EQ(alerts.alreadyInstallings, 1);
    EXPECT_EQ(server.count("/version.json"), 2);
    server.release();
    ASSERT_TRUE(testing::pumpUntil([&] { return installed; }));
    EXPECT_EQ(server.count("/update.zip"), 1);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(updateFolders(), 1);
    ASSERT_TRUE(testing::pumpUntil([&] { return fs::exists(root + "/started"); }));
}

struct FailureCase {
    const char* name;
    std::function<QByteArray(const std::string& root)> archive;
    std::string word;  // "@digest" and "@apps" stand for the archive's digest and the folder
    bool readOnly = false;
    bool mismatch = false;
    const char* address = "/update.zip";  // where the feed says the archive is
};

class InstallFailureTest : public UpdaterTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(InstallFailureTest, FailsWithItsWordAndChangesNothingOutside) {
    const FailureCase& c = GetParam();
    const bool root_ = ::geteuid() == 0;
    if (c.readOnly && root_) {
        // Permissions do not stop root: use a read-only file system, when this
        // root may mount one (a container often may not).
        if (::mount("tmpfs", apps.c_str(), "tmpfs", 0, nullptr) != 0)
            GTEST_SKIP() << "running as root without the right to mount a read-only folder";
        mounted = true;
    }
    makeRunningBundle();
    if (c.readOnly) {
        if (root_)
            ASSERT_EQ(::mount("tmpfs", apps.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
        else
            fs::permissions(apps, fs::perms(0555));
    }
    const QByteArray zip = c.archive(root);
    const bool mismatch = c.mismatch;
    serveRelease(zip, mismatch ? std::string(64, 'a') : sha256Hex(zip), c.address);
    const auto before = testing::snapshot(root, isUpdateFolder);
    auto u = makeUpdater();
    EXPECT_FALSE(runInstall(*u));
    std::string word = c.word;
    if (const auto at = word.find("@digest"); at != std::string::npos)
        word.replace(at, 7, sha256Hex(zip));
    if (const auto at = word.find("@apps"); at != std::string::npos) word.replace(at, 5, apps);
    EXPECT_TRUE(hasLine(log, "update install failed: " + word)) << linesOf(log);
    EXPECT_EQ(alerts.installFailures, 1);
    EXPECT_EQ(alerts.pages, std::vector<std::string>{Features::pageURL()});
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(fakeApp.state(), QProcess::Running);
    EXPECT_EQ(testing::snapshot(root, isUpdateFolder), before);
    EXPECT_TRUE(fs::is_empty(root + "/outside"));
    // Nothing is left beside the user's application.
    EXPECT_EQ(updateFolders(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallFailureTest,
    ::testing::Values(
        FailureCase{"MissingArchive", [](const std::string& r) { return release(r); }, "download",
                    false, false, "/gone.zip"},
        FailureCase{"DigestMismatch", [](const std::string& r) { return release(r); },
                    "sha256 mismatch @digest", false, true},
        FailureCase{"OtherVersion", [](const std::string& r) { return release(r, "1.0.9"); },
                    "unzip/version"},
        FailureCase{"BundleInSubFolder",
                    [](const std::string& r) { return release(r, "1.1.0", "sub/"); },
                    "unzip/version"},
        FailureCase{"OtherApplication",
                    [](const std::string& r) {
                        return testing::makeZip(
                            testing::bundleItems("", "1.1.0", "org.example.Other", r + "/started"));
                    },
                    "unzip/version"},
        FailureCase{"NotAnArchive", [](const std::string&) { return QByteArray("<html>"); },
                    "unzip/version"},
        FailureCase{"ReadOnlyApplicationFolder", [](const std::string& r) { return release(r); },
                    "not writable @apps", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace seam
