// Wakes from logind's PrepareForSleep signal, on a private message bus where
// the test plays logind (and an impostor).
#include "platform/qt/logind_wake.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>

#include "qt_app.h"

namespace seam {
namespace {

class PrivateBus {
  public:
    PrivateBus() {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (daemon_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    const QString& address() const { return address_; }
    QDBusConnection connect(const QString& name) const {
        return QDBusConnection::connectToBus(address_, name);
    }

  private:
    QProcess daemon_;
    QString address_;
};

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
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    QDBusConnection logind = bus.connect("logind"), impostor = bus.connect("impostor");
    ASSERT_TRUE(logind.registerService("org.freedesktop.login1"));
    LogindWake wake(bus.connect("listener"));
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
