#include "base/qt/quit_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <vector>

#include "qt_app.h"

namespace seam {
namespace {

void (*disposition(int signal))(int) {
    struct sigaction now = {};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

// Runs the event loop until done holds; false when it did not within the guard.
bool runUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

struct SignalCase {
    int signal;
    bool ignoredAtStart;  // as nohup, or a shell's background job, starts a program
};

TEST(QuitSignals, ASignalReachesTheEventLoopUnlessItWasIgnoredAtStart) {
    testing::qtApp();
    const SignalCase cases[] = {
        {SIGTERM, false}, {SIGINT, false}, {SIGHUP, false}, {SIGHUP, true}, {SIGINT, true},
    };
    for (const SignalCase& c : cases) {
        SCOPED_TRACE(QuitSignals::name(c.signal) + (c.ignoredAtStart ? " ignored" : ""));
        ::signal(c.signal, c.ignoredAtStart ? SIG_IGN : SIG_DFL);
        std::vector<int> received;
        {
            QuitSignals catcher([&](int s) { received.push_back(s); });
            ASSERT_TRUE(catcher.catching());
            ::raise(c.signal);
            // Never from the handler itself: only on the event loop.
            EXPECT_TRUE(received.empty());
            if (c.ignoredAtStart) {
                for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
                EXPECT_TRUE(received.empty());
            } else {
                EXPECT_TRUE(runUntil([&] { return !received.empty(); }));
                EXPECT_EQ(received, std::vector<int>{c.signal});
            }
        }
        EXPECT_EQ(disposition(c.signal), c.ignoredAtStart ? SIG_IGN : SIG_DFL);
        ::signal(c.signal, SIG_DFL);
    }
}

TEST(QuitSignals, AFloodNeitherBlocksTheHandlerNorChangesErrnoAndCallsBackOnce) {
    testing::qtApp();
    std::vector<int> received;
    QuitSignals catcher([&](int s) { received.push_back(s); });
    ASSERT_TRUE(catcher.catching());
    // More than a pipe holds: the handler's writes start to fail.
    errno = ERANGE;
    for (int i = 0; i < 70000; ++i) ::raise(SIGTERM);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_TRUE(runUntil([&] { return !received.empty(); }));
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(received, std::vector<int>{SIGTERM});
}

}  // namespace
}  // namespace seam
