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
        EXPECT_TRUE(testing::pumpUntil([&] { return fs::exists(marker()); }, 10000));
        return testing::fileText(marker());
    }

    std::string version() const {
        const std::string plist = testing::fileText(target + "/" + kBundleInfo);
        return plist.find("<string>1.1.0</string>") != std::string::npos   ? "1.1.0"
               : plist.find("<string>1.0.0</string>") != std::string::npos ? "1.0.0"
                                                                           : "?";
    }

    testing::TempDir dir;
    testing::LogCapture log;
    std::string root, target, fresh, script;
};

// With the application already gone the script swaps at once; when the new
// bundle cannot take the old one's place, the old one stays. Either way one
// program is left and started.
TEST_F(SwapScriptTest, EndedProcessSwapsOrKeepsTheOldBundle) {
    struct Case {
        std::string newBundle, version, line;
    };
    const Case cases[] = {
        {root + "/update/missing.app", "1.0.0",
         "swap.sh: FAILED to exchange the new app for the old one (127: "},
        {fresh, "1.1.0", "swap.sh: replaced the app"},
    };
    size_t logged = 0;
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
        // The old bundle goes once exchanged; a failed swap leaves the new one be.
        EXPECT_EQ(fs::exists(fresh), c.newBundle != fresh);
        EXPECT_EQ(startedWith(), target + "/" + kBundleExecutable + " " + c.version + "\n");
        const auto messages = log.messages();
        ASSERT_EQ(messages.size(), ++logged);
        EXPECT_EQ(messages.back().substr(0, c.line.size()), c.line);
        for (const auto& e : fs::directory_iterator(root + "/apps"))
            EXPECT_EQ(e.path().filename(), kBundleName);
        // Its lines carry the program's own time stamp form.
        const std::string raw = log.rawLines().back();
        EXPECT_EQ(raw.size(), std::string("2026-12-07T01:02:03Z ").size() + messages.back().size());
        EXPECT_EQ(raw[19], 'Z');
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

// The script killed at each step of the swap (the exchange and "mv" are
// wrapped so the signal lands exactly there), then a launch. With the exchange
// the target holds a whole program at every moment, before any launch puts
// anything right; where the file system refuses it, the two renames leave a gap
// that the launch closes.
struct KillCase {
    const char* name;
    bool refused;           // the file system cannot exchange: two renames
    const char* signal;     // sent to the script by the wrapped step
    int before, after;      // which step sends it; 0 never. Step 1 is the exchange,
                            // 2 and 3 are the renames that follow a refusal.
    const char* running;    // version the launch starts
    const char* launchLog;  // the launch's line, "@" for the target; nullptr: none
};

class SwapKillTest : public SwapScriptTest, public ::testing::WithParamInterface<KillCase> {};

TEST_P(SwapKillTest, TheTargetAlwaysStarts) {
    const KillCase& c = GetParam();
    // The installer unpacks beside the target: both renames stay on one file system.
    const std::string updates = root + "/apps/" + kUpdateFolderPrefix + "X";
    fs::create_directories(updates);
    fs::rename(root + "/update/" + kBundleName, updates + "/" + kBundleName);
    fresh = updates + "/" + kBundleName;
    const std::string bin = root + "/bin";
    fs::create_directories(bin);
    // A step counts itself and signals the script before or after it runs. A
    // killed script runs no further, and an ignored signal is dropped when sent.
    const auto wrap = [&](const std::string& name, const std::string& step) {
        std::ofstream(bin + "/" + name)
            << "#!/bin/sh\n"
               "n=$(( $(cat \"$STEP_COUNT\" 2>/dev/null || echo 0) + 1 ))\n"
               "echo $n > \"$STEP_COUNT\"\n"
               "if [ \"$n\" = \"$BEFORE\" ]; then kill -$SIG $PPID\n"
               "  [ \"$SIG\" = KILL ] && exit 1; fi\n"
            << step
            << "; s=$?\n"
               "[ \"$n\" = \"$AFTER\" ] && kill -$SIG $PPID\n"
               "exit $s\n";
        fs::permissions(bin + "/" + name, fs::perms(0755));
    };
    wrap("mv", "/bin/mv \"$@\"");
    wrap("exchange", c.refused ? "(exit 3)" : SEAM_BINARY_DIR "/seamwright \"$@\"");
    QProcess sh;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", QString::fromStdString(bin) + ":" + env.value("PATH"));
    env.insert("EXCHANGER", QString::fromStdString(bin + "/exchange"));
    env.insert("STEP_COUNT", QString::fromStdString(root + "/step-count"));
    env.insert("SIG", c.signal);
    env.insert("BEFORE", QString::number(c.before));
    env.insert("AFTER", QString::number(c.after));
    sh.setProcessEnvironment(env);
    start(sh, endedPid(), fresh);
    ASSERT_TRUE(sh.waitForFinished(10000));
    const bool killed = std::string(c.signal) == "KILL";
    EXPECT_EQ(sh.exitStatus() == QProcess::CrashExit, killed);
    if (killed) {
        EXPECT_FALSE(fs::exists(marker()));  // nothing was started
    } else {
        EXPECT_TRUE(testing::pumpUntil([&] { return fs::exists(marker()); }, 10000));
    }
    fs::remove(marker());
    if (!c.refused) {
        // What the autostart entry would run now, with nothing put right yet.
        QProcess::execute(QString::fromStdString(target + "/" + kBundleExecutable), {});
        EXPECT_EQ(testing::fileText(marker()),
                  target + "/" + kBundleExecutable + " " + c.running + "\n");
        fs::remove(marker());
    }

    // The launch, later: its first step puts right what the swap left.
    if (fs::exists(updates))
        fs::last_write_time(updates, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const size_t before = log.messages().size();
    recoverSwapAtLaunch(QString::fromStdString(target + "/" + kBundleExecutable));
    QProcess::execute(QString::fromStdString(target + "/" + kBundleExecutable), {});
    EXPECT_EQ(testing::fileText(marker()),
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
    for (const auto& e : fs::directory_iterator(root + "/apps"))
        EXPECT_EQ(e.path().filename(), kBundleName);
}

INSTANTIATE_TEST_SUITE_P(
    Points, SwapKillTest,
    ::testing::Values(KillCase{"KilledBeforeTheExchange", false, "KILL", 1, 0, "1.0.0", nullptr},
                      KillCase{"KilledAfterTheExchange", false, "KILL", 0, 1, "1.1.0", nullptr},
                      // A logout's signal does not stop it half way.
                      KillCase{"LogoutBeforeTheExchange", false, "TERM", 1, 0, "1.1.0", nullptr},
                      KillCase{"HangUpAfterTheExchange", false, "HUP", 0, 1, "1.1.0", nullptr},
                      KillCase{"RefusedKilledBeforeTheMoves", true, "KILL", 2, 0, "1.0.0", nullptr},
                      KillCase{"RefusedKilledBetweenTheMoves", true, "KILL", 0, 2, "1.0.0",
                               "update recovery: put the old app back from @.old-"},
                      KillCase{"RefusedKilledAfterTheMoves", true, "KILL", 0, 3, "1.1.0",
                               "update recovery: removed the old app left at @.old-"},
                      KillCase{"RefusedLogoutBetweenTheMoves", true, "TERM", 0, 2, "1.1.0",
                               nullptr},
                      KillCase{"RefusedHangUpBeforeTheMoves", true, "HUP", 2, 0, "1.1.0", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace seam
