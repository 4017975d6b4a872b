// Wakes from logind's PrepareForSleep signal, on a private message bus where
// the test plays logind (and an impostor).
#include "platform/qt/logind_wake.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>

#include "qt_app.h"
#include "support/session_bus.h"

namespace seam {
namespace {

void sendPrepareForSleep(QDBusConnection& from, bool sleeping) {
    QDBusMessage m = QDBusMessage::createSignal(
        "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep");
    m << sleeping;
    from.send(m);
    // A round trip: the bus has routed the signal before it answers.
    from.interface()->isServiceRegistered("org.freedesktop.DBus");
}

bool processUntil(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(LogindWake, OnlyLogindsWakingSignalCounts) {
    testing::qtApp();
    testing::SessionBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    const auto connect = [&](const char* name) {
        return QDBusConnection::connectToBus(QString::fromStdString(bus.address()), name);
    };
    QDBusConnection logind = connect("logind"), impostor = connect("impostor");
    ASSERT_TRUE(logind.registerService("org.freedesktop.login1"));
    LogindWake wake(connect("listener"));
    int wakes = 0;
    ASSERT_TRUE(wake.start([&] { ++wakes; }));

    sendPrepareForSleep(logind, true);     // going to sleep: nothing yet
    sendPrepareForSleep(impostor, false);  // not logind
    sendPrepareForSleep(logind, false);
    ASSERT_TRUE(processUntil([&] { return wakes >= 1; }));
    sendPrepareForSleep(logind, true);
    sendPrepareForSleep(logind, false);
    ASSERT_TRUE(processUntil([&] { return wakes >= 2; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(wakes, 2);

    for (const char* name : {"logind", "impostor", "listener"})
        QDBusConnection::disconnectFromBus(name);
}

TEST(LogindWake, NoBusMeansNoWakesAndNoError) {
    testing::qtApp();
    LogindWake wake(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nobus"));
    bool woke = false;
    EXPECT_FALSE(wake.start([&] { woke = true; }));
    QDBusConnection::disconnectFromBus("nobus");
    EXPECT_FALSE(woke);
}

}  // namespace
}  // namespace seam
