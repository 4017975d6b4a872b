// The swap script run for real with /bin/sh on bundles made here.
#include "update/swap_script.h"
#include "update/qt/app_bundle.h"
#include "update/qt/installer.h"

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

// With the application already gone the script swaps at once; when the new
// bundle cannot be moved in, the old one goes back. Either way one program is
// left and started.
TEST_F(SwapScriptTest, EndedProcessSwapsOrPutsTheOldBundleBack) {
    struct Case {
        std::string newBundle, version, line;
    };
    const Case cases[] = {
        {root + "/update/missing.app", "1.0.0",
         "swap.sh: FAILED to move the new app in, put the old one back"},
        {fresh, "1.1.0", "swap.sh: replaced the app"},
    };
    std::vector<std::string> lines;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        fs::remove(marker());
        QElapsedTimer t;
        t.start();
        QProcess sh;
        start(sh, endedPid(), c.newBundle);
        ASSERT_TRUE(sh.waitForFinished(10000));
        EXPECT_LT(t.elapsed(), 5000);
        EXPECT_EQ(sh.exitCode(), 0);
        EXPECT_EQ(version(), c.version);
        EXPECT_EQ(fs::exists(fresh), c.newBundle != fresh);
        EXPECT_EQ(startedWith(), target + "/" + kBundleExecutable + " " + c.version + "\n");
        lines.push_back(c.line);
        EXPECT_EQ(log.messages(), lines);
        for (const auto& e : fs::directory_iterator(root + "/apps"))
            EXPECT_EQ(e.path().filename(), kBundleName);
        // Its lines carry the program's own time stamp form.
        ASSERT_EQ(log.rawLines().size(), lines.size());
        EXPECT_EQ(log.rawLines().back().size(),
                  std::string("2026-12-07T01:02:03Z ").size() + c.line.size());
        EXPECT_EQ(log.rawLines().back()[19], 'Z');
    }
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

// The script killed at each point of the swap (its "mv" is wrapped so the kill
// lands exactly there), then a launch: there is always a whole program at the
// target, the old one or the new one.
struct KillCase {
    const char* name;
    const char* signal;         // sent to the script by the wrapped mv
    int beforeMove, afterMove;  // which mv call (1 or 2) sends it; 0 never
    const char* running;        // version the launch starts
    const char* launchLog;      // the launch's line, "@" for the target; nullptr: none
};

class SwapKillTest : public SwapScriptTest, public ::testing::WithParamInterface<KillCase> {};

TEST_P(SwapKillTest, ALaunchAfterwardsFindsAWholeProgram) {
    const KillCase& c = GetParam();
    // The installer unpacks beside the target: both moves are renames.
    const std::string updates = root + "/apps/" + kUpdateFolderPrefix + "X";
    fs::create_directories(updates);
    fs::rename(root + "/update/" + kBundleName, updates + "/" + kBundleName);
    fresh = updates + "/" + kBundleName;
    const std::string bin = root + "/bin";
    fs::create_directories(bin);
    std::ofstream(bin + "/mv") << "#!/bin/sh\n"
                                  "n=$(( $(cat \"$MV_COUNT\" 2>/dev/null || echo 0) + 1 ))\n"
                                  "echo $n > \"$MV_COUNT\"\n"
                                  "if [ \"$n\" = \"$BEFORE\" ]; then kill -$SIG $PPID; sleep 0.3\n"
                                  "  [ \"$SIG\" = KILL ] && exit 1; fi\n"
                                  "/bin/mv \"$@\"; s=$?\n"
                                  "[ \"$n\" = \"$AFTER\" ] && kill -$SIG $PPID && sleep 0.3\n"
                                  "exit $s\n";
    fs::permissions(bin + "/mv", fs::perms(0755));
    QProcess sh;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", QString::fromStdString(bin) + ":" + env.value("PATH"));
    env.insert("MV_COUNT", QString::fromStdString(root + "/mv-count"));
    env.insert("SIG", c.signal);
    env.insert("BEFORE", QString::number(c.beforeMove));
    env.insert("AFTER", QString::number(c.afterMove));
    sh.setProcessEnvironment(env);
    start(sh, endedPid(), fresh);
    ASSERT_TRUE(sh.waitForFinished(10000));
    const bool killed = std::string(c.signal) == "KILL";
    EXPECT_EQ(sh.exitStatus() == QProcess::CrashExit, killed);
    if (killed) {
        EXPECT_FALSE(fs::exists(marker()));  // nothing was started
    }

    // The launch, later: its first step puts right what the swap left.
    if (fs::exists(updates))
        fs::last_write_time(updates, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const size_t before = log.messages().size();
    recoverSwapAtLaunch(QString::fromStdString(target + "/" + kBundleExecutable));
    if (!killed) {
        EXPECT_TRUE(testing::waitUntil([&] { return fs::exists(marker()); }, 10000));
    }
    fs::remove(marker());
    QProcess::execute(QString::fromStdString(target + "/" + kBundleExecutable), {});
    EXPECT_EQ(testing::readText(marker()),
              target + "/" + kBundleExecutable + " " + c.running + "\n");
    std::vector<std::string> expected;
    if (killed) expected.push_back("update recovery: removed the unfinished update at " + updates);
    if (c.launchLog) {
        std::string line = c.launchLog;
        expected.push_back(line.replace(line.find('@'), 1, target));
    }
    auto lines = log.messages();
    lines.erase(lines.begin(), lines.begin() + long(before));
    ASSERT_EQ(lines.size(), expected.size()) << ::testing::PrintToString(lines);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(0, expected[i].size()), expected[i]);
    // Only the target is left in the folder (and the update folder, when the
    // swap never began).
    for (const auto& e : fs::directory_iterator(root + "/apps")) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(name == kBundleName ||
                    (c.beforeMove == 1 && name.rfind(kUpdateFolderPrefix, 0) == 0))
            << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Points, SwapKillTest,
    ::testing::Values(KillCase{"KilledBeforeTheMoves", "KILL", 1, 0, "1.0.0", nullptr},
                      KillCase{"KilledBetweenTheMoves", "KILL", 0, 1, "1.0.0",
                               "update recovery: put the old app back from @.old-"},
                      KillCase{"KilledAfterTheMoves", "KILL", 0, 2, "1.1.0",
                               "update recovery: removed the old app left at @.old-"},
                      // A logout's signal does not stop it half way.
                      KillCase{"LogoutBetweenTheMoves", "TERM", 0, 1, "1.1.0", nullptr},
                      KillCase{"HangUpBeforeTheMoves", "HUP", 1, 0, "1.1.0", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace seam
