#include "update/qt/updater.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QUrl>
#include <filesystem>

#include "fixtures.h"
#include "main/version.h"
#include "platform/sim/manual_clock.h"
#include "support/log_capture.h"
#include "update/features.h"
#include "update/qt/installer.h"
#include "update/swap_script.h"
#include "update/update_check.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::TinyHttpServer;
using testing::ZipItem;

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_updateint";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

struct RecordingAlerts : UpdateAlerts {
    std::vector<std::string> upToDates;
    int checkFailures = 0;
    std::vector<std::string> offers;
    bool answer = true;
    int installFailures = 0;
    std::vector<std::string> pages;
    void upToDate(const std::string& current) override { upToDates.push_back(current); }
    void checkFailed() override { ++checkFailures; }
    bool offer(const update::Entry& e) override {
        offers.push_back(e.version);
        return answer;
    }
    void installFailed() override { ++installFailures; }
    void openPage(const std::string& url) override { pages.push_back(url); }
};

bool hasLine(const testing::LogCapture& log, const std::string& line) {
    for (const auto& m : log.messages())
        if (m == line) return true;
    return false;
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
        AppFirst() { app(); }
    } appFirst;

    void SetUp() override {
        app();
        root = dir.path();
        apps = root + "/apps";
        temp = root + "/tmp";
        fs::create_directories(apps);
        fs::create_directories(temp);
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
        s.tempFolder = QString::fromStdString(temp);
        s.quit = [this] {
            ++quits;
            fakeApp.kill();
            fakeApp.waitForFinished();  // reaped, so the script sees it gone
        };
        s.supportChanged = [this] { ++supportChanges; };
        return std::make_unique<Updater>(s);
    }

    void serveRelease(const QByteArray& archive, const std::string& sha256,
                      const std::string& version = "1.1.0") {
        server.route("/update.zip", {200, archive});
        server.route("/version.json",
                     {200, QByteArray::fromStdString(R"({"mac":{"version":")" + version +
                                                     R"(","url":")" + server.url("/update.zip") +
                                                     R"(","sha256":")" + sha256 + R"("}})")});
    }

    static bool isUpdateFolder(const std::string& rel) {
        return rel.rfind("tmp/Seamwright-update-", 0) == 0;
    }

    int updateFolders() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(temp))
            n += e.path().filename().string().rfind("Seamwright-update-", 0) == 0;
        return n;
    }

    // Runs one automatic install to its end; true when it swapped.
    bool runInstall(Updater& u) {
        bool finished = false, swapping = false;
        QObject::connect(&u, &Updater::installFinished, [&](bool s) {
            finished = true;
            swapping = s;
        });
        u.autoInstall = true;
        u.check(false);
        EXPECT_TRUE(testing::waitUntil([&] { return finished; })) << linesOf(log);
        return swapping;
    }

    testing::TempDir dir;
    testing::LogCapture log;
    std::string root, apps, temp, running;
    TinyHttpServer server;
    MemoryStore store;
    ManualClock clock;
    RecordingAlerts alerts;
    QProcess fakeApp;
    int quits = 0;
    int supportChanges = 0;
    bool mounted = false;
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
    ASSERT_TRUE(testing::waitUntil([&] { return fs::exists(root + "/started"); })) << linesOf(log);
    EXPECT_EQ(testing::readText(root + "/started"), running + "/" + kBundleExecutable + " 1.1.0\n");
    EXPECT_NE(testing::readText(running + "/" + kBundleInfo).find("<string>1.1.0</string>"),
              std::string::npos);
    EXPECT_TRUE(hasLine(log, "update check remote=1.1.0 local=1.0.0"));
    EXPECT_TRUE(hasLine(log, "update 1.0.0 -> 1.1.0 swapping"));
    EXPECT_TRUE(hasLine(log, "swap.sh: replaced the app")) << linesOf(log);
    for (const auto& e : fs::directory_iterator(apps))
        EXPECT_EQ(e.path().filename(), kBundleName);  // nothing left aside
    ASSERT_EQ(server.requests().size(), 2u);
    for (const auto& r : server.requests()) EXPECT_EQ(r.userAgent, "Seamwright/1.0.0");
}

struct FailureCase {
    const char* name;
    std::function<QByteArray(const std::string& root)> archive;
    std::string word;  // "@digest" and "@apps" stand for the archive's digest and the folder
    bool readOnly = false;
    bool mismatch = false;
    const char* refusal = nullptr;  // the unpacker's reason, when it refuses
};

class InstallFailureTest : public UpdaterTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(InstallFailureTest, FailsWithItsWordAndChangesNothingOutside) {
    const FailureCase& c = GetParam();
    const bool root_ = ::geteuid() == 0;
    if (c.readOnly && root_) {
        // Permissions do not stop root: use a read-only file system.
        ASSERT_EQ(::mount("tmpfs", apps.c_str(), "tmpfs", 0, nullptr), 0) << "cannot mount";
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
    serveRelease(zip, mismatch ? std::string(64, 'a') : sha256Hex(zip));
    const auto before = testing::snapshot(root, isUpdateFolder);
    auto u = makeUpdater();
    EXPECT_FALSE(runInstall(*u));
    std::string word = c.word;
    if (const auto at = word.find("@digest"); at != std::string::npos)
        word.replace(at, 7, sha256Hex(zip));
    if (const auto at = word.find("@apps"); at != std::string::npos) word.replace(at, 5, apps);
    EXPECT_TRUE(hasLine(log, "update install failed: " + word)) << linesOf(log);
    if (c.refusal) {
        // Refused for the hostile entry itself, not for some other fault.
        EXPECT_NE(linesOf(log).find(std::string("update unzip refused: ") + c.refusal),
                  std::string::npos)
            << linesOf(log);
    }
    EXPECT_EQ(alerts.installFailures, 1);
    EXPECT_EQ(alerts.pages, std::vector<std::string>{Features::pageURL()});
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(fakeApp.state(), QProcess::Running);
    EXPECT_EQ(testing::snapshot(root, isUpdateFolder), before);
    EXPECT_TRUE(fs::is_empty(root + "/outside"));
    EXPECT_EQ(updateFolders(), mismatch ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallFailureTest,
    ::testing::Values(
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
        FailureCase{"AbsolutePath",
                    [](const std::string& r) {
                        auto items = testing::bundleItems("", "1.1.0", kBundleIdentifier, "/x");
                        items.push_back({r + "/outside/evil", ZipItem::file, "pwned"});
                        return testing::makeZip(items);
                    },
                    "unzip/version", false, false, "unsafe entry path: /"},
        FailureCase{
            "DotDot",
            [](const std::string&) {
                auto items = testing::bundleItems("", "1.1.0", kBundleIdentifier, "/x");
                items.push_back({"Seamwright.app/../../../outside/evil", ZipItem::file, "x"});
                return testing::makeZip(items);
            },
            "unzip/version", false, false, "unsafe entry path: Seamwright.app/../"},
        FailureCase{"LinkOutside",
                    [](const std::string&) {
                        auto items = testing::bundleItems("", "1.1.0", kBundleIdentifier, "/x");
                        items.push_back(
                            {"Seamwright.app/Contents/out", ZipItem::link, "../../../../outside"});
                        items.push_back({"Seamwright.app/Contents/out/evil", ZipItem::file, "x"});
                        return testing::makeZip(items);
                    },
                    "unzip/version", false, false, "link leaves the folder"},
        FailureCase{"ReadOnlyApplicationFolder", [](const std::string& r) { return release(r); },
                    "not writable @apps", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace seam
