#include "remote_input.h"

#include <linux/input-event-codes.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <algorithm>

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
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromStdString(busAddress), "remote-input");
    if (!bus.isConnected()) {
        error = "cannot connect to the compositor's bus";
        return nullptr;
    }
    const QDBusMessage made = bus.call(QDBusMessage::createMethodCall(
        kService, "/org/gnome/Mutter/RemoteDesktop", kService, "CreateSession"));
    if (made.type() != QDBusMessage::ReplyMessage || made.arguments().isEmpty()) {
        error = "CreateSession: " + made.errorMessage().toStdString();
        return nullptr;
    }
    const QString session = made.arguments().first().value<QDBusObjectPath>().path();
    std::unique_ptr<RemoteInput> input(new RemoteInput(bus, session));
    if (!input->call("Start", {})) {
        error = input->error_;
        return nullptr;
    }
    return input;
}

RemoteInput::~RemoteInput() {
    call("Stop", {});
    QDBusConnection::disconnectFromBus("remote-input");
}

bool RemoteInput::call(const char* method, const QList<QVariant>& arguments) {
    QDBusMessage m = QDBusMessage::createMethodCall(kService, session_, kSessionInterface, method);
    m.setArguments(arguments);
    const QDBusMessage reply = bus_.call(m);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    error_ = std::string(method) + ": " + reply.errorMessage().toStdString();
    return false;
}

bool RemoteInput::moveTo(Corner first, Corner second, double x, double y) {
    // A move that leaves every monitor stops at the edge of the one it starts
    // on: into the top left corner of whichever the pointer is on, from the
    // second's corner over to the first, then into the first's corner.
    const double down = std::max(0, first.y - second.y) + 10;
    return call("NotifyPointerMotionRelative", {-kFar, -kFar}) &&
           call("NotifyPointerMotionRelative", {-10.0, down}) &&
           call("NotifyPointerMotionRelative", {-kFar, -kFar}) &&
           call("NotifyPointerMotionRelative", {x - first.x, y - first.y});
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
