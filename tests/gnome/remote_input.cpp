#include "remote_input.h"

#include <linux/input-event-codes.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <algorithm>

#include "support/command.h"

namespace seam::testing {

namespace {
const QString kService = "org.gnome.Mutter.RemoteDesktop";
const QString kSessionInterface = "org.gnome.Mutter.RemoteDesktop.Session";

// Far enough to reach any monitor's corner in one move.
constexpr double kFar = 100000;
}  // namespace

std::unique_ptr<RemoteInput> RemoteInput::start(const std::string& busAddress, std::string& error) {
    static int argc = 1;
    static char name[] = "test_gnome";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);  // for QtDBus
    // A name of its own each time: a connection of the name to a bus gone stays.
    static int made = 0;
    const QString connection = QString("remote-input-%1").arg(++made);
    std::unique_ptr<RemoteInput> input(new RemoteInput(
        QDBusConnection::connectToBus(QString::fromStdString(busAddress), connection), connection));
    if (!input->bus_.isConnected()) {
        error = "cannot connect to the compositor's bus";
        return nullptr;
    }
    // Mutter offers the service a moment after its display configuration.
    const bool offered =
        waitUntil([&] { return input->bus_.interface()->isServiceRegistered(kService).value(); });
    const QDBusMessage session = input->bus_.call(QDBusMessage::createMethodCall(
        kService, "/org/gnome/Mutter/RemoteDesktop", kService, "CreateSession"));
    if (!offered || session.type() != QDBusMessage::ReplyMessage || session.arguments().isEmpty()) {
        error = "CreateSession: " + session.errorMessage().toStdString();
        return nullptr;
    }
    input->session_ = session.arguments().first().value<QDBusObjectPath>().path();
    if (!input->call("Start", {})) {
        error = input->error_;
        return nullptr;
    }
    return input;
}

RemoteInput::~RemoteInput() {
    if (!session_.isEmpty()) call("Stop", {});
    QDBusConnection::disconnectFromBus(connection_);
}

bool RemoteInput::call(const char* method, const QList<QVariant>& arguments) {
    QDBusMessage m = QDBusMessage::createMethodCall(kService, session_, kSessionInterface, method);
    m.setArguments(arguments);
    const QDBusMessage reply = bus_.call(m);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    error_ = std::string(method) + ": " + reply.errorMessage().toStdString();
    return false;
}

bool RemoteInput::moveTo(const ShownOutput& first, const ShownOutput& second, double x, double y) {
    // A move that would leave every monitor stops at the edge of the one it
    // starts on, and one on a slant may stop short: so only moves along an
    // axis. Up and left into the corner of whichever monitor the pointer is
    // on; down to a height the second shares with the first, a step left over
    // onto the first, and into its corner.
    const double down = std::max(0, first.y - second.y) + 10;
    return call("NotifyPointerMotionRelative", {0.0, -kFar}) &&
           call("NotifyPointerMotionRelative", {-kFar, 0.0}) &&
           call("NotifyPointerMotionRelative", {0.0, down}) &&
           call("NotifyPointerMotionRelative", {-10.0, 0.0}) &&
           call("NotifyPointerMotionRelative", {-kFar, 0.0}) &&
           call("NotifyPointerMotionRelative", {0.0, -kFar}) &&
           // Down within the first, then across at the point's height.
           call("NotifyPointerMotionRelative", {0.0, y - first.y}) &&
           call("NotifyPointerMotionRelative", {x - first.x, 0.0});
}

bool RemoteInput::click() {
    return call("NotifyPointerButton", {BTN_LEFT, true}) &&
           call("NotifyPointerButton", {BTN_LEFT, false});
}

bool RemoteInput::pressKeysym(unsigned keysym) {
    return call("NotifyKeyboardKeysym", {keysym, true}) &&
           call("NotifyKeyboardKeysym", {keysym, false});
}

}  // namespace seam::testing
