// The swap script run for real with /bin/sh on bundles made here.
#include "update/swap_script.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <filesystem>
#include <fstream>

#include "fixtures.h"
#include "main/version.h"
#include "support/log_capture.h"

namespace seam {
namespace {

namespace fs = std::filesystem;

class SwapScriptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::application();
        root = dir.path();
        target = root + "/apps/" + kBundleName;
        fresh = root + "/update/" + kBundleName;
        testing::writeItems(root + "/apps/",
                            testing::bundleItems("", "1.0.0", kBundleIdentifier, marker()));
        testing::writeItems(root + "/update/",
                            testing::bundleItems("", "1.1.0", kBundleIdentifier, marker()));
        script = root + "/update/swap.sh";
        std::ofstream(script) << kSwapScript;
    }

    std::string marker() const { return root + "/started"; }

    // A process id that has already ended (and was reaped).
    static qint64 endedPid() {
        QProcess p;
        p.start("true", {});
        p.waitForFinished();
        return p.processId() ? p.processId() : 999999;
    }

    void start(QProcess& sh, qint64 pid, const std::string& newBundle) {
        sh.start("/bin/sh", {QString::fromStdString(script), QString::fromStdString(target),
                             QString::fromStdString(newBundle), QString::number(pid),
                             QString::fromStdString(log.path())});
        ASSERT_TRUE(sh.waitForStarted());
    }

    std::string startedWith() {
        // The script starts the program in the background; give it a moment.
        EXPECT_TRUE(testing::waitUntil([&] { return fs::exists(marker()); }, 10000));
        return testing::readText(marker());
    }

    std::string version() const {
        const std::string plist = testing::readText(target + "/" + kBundleInfo);
        return plist.find("<string>1.1.0</string>") != std::string::npos   ? "1.1.0"
               : plist.find("<string>1.0.0</string>") != std::string::npos ? "1.0.0"
                                                                           : "?";
    }

    testing::TempDir dir;
    testing::LogCapture log;
    std::string root, target, fresh, script;
};

TEST_F(SwapScriptTest, EndedProcessSwapsAtOnceAndStartsTheNewBundle) {
    QElapsedTimer t;
    t.start();
    QProcess sh;
    start(sh, endedPid(), fresh);
    ASSERT_TRUE(sh.waitForFinished(10000));
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(sh.exitCode(), 0);
    EXPECT_EQ(version(), "1.1.0");
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_EQ(startedWith(), target + "/" + kBundleExecutable + " 1.1.0\n");
    EXPECT_EQ(log.messages(), std::vector<std::string>{"swap.sh: replaced the app"});
    for (const auto& e : fs::directory_iterator(root + "/apps"))
        EXPECT_EQ(e.path().filename(), kBundleName);
    // Its lines carry the program's own time stamp form.
    ASSERT_EQ(log.rawLines().size(), 1u);
    EXPECT_EQ(log.rawLines()[0].size(),
              std::string("2026-12-07T01:02:03Z swap.sh: replaced the app").size());
    EXPECT_EQ(log.rawLines()[0][19], 'Z');
}

TEST_F(SwapScriptTest, FailedMoveInPutsTheOldBundleBackAndStartsIt) {
    QProcess sh;
    start(sh, endedPid(), root + "/update/missing.app");
    ASSERT_TRUE(sh.waitForFinished(10000));
    EXPECT_EQ(version(), "1.0.0");
    EXPECT_EQ(startedWith(), target + "/" + kBundleExecutable + " 1.0.0\n");
    EXPECT_EQ(log.messages(), std::vector<std::string>{
                                  "swap.sh: FAILED to move the new app in, put the old one back"});
    for (const auto& e : fs::directory_iterator(root + "/apps"))
        EXPECT_EQ(e.path().filename(), kBundleName);
}

TEST_F(SwapScriptTest, WaitsForTheApplicationToEnd) {
    QProcess running;
    running.start("sleep", {"60"});
    ASSERT_TRUE(running.waitForStarted());
    QProcess sh;
    start(sh, running.processId(), fresh);
    // Still waiting while the application runs.
    EXPECT_FALSE(sh.waitForFinished(700));
    EXPECT_EQ(version(), "1.0.0");
    EXPECT_FALSE(fs::exists(marker()));
    running.kill();
    running.waitForFinished();
    ASSERT_TRUE(sh.waitForFinished(10000));
    EXPECT_EQ(version(), "1.1.0");
    EXPECT_EQ(startedWith(), target + "/" + kBundleExecutable + " 1.1.0\n");
}

}  // namespace
}  // namespace seam
