#include "shell/qt/command_bus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include "base/log.h"

namespace seam {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
std::string str(const QString& s) {
    return s.toStdString();
}
// The answer should come at once; a hung program must not hang the caller.
constexpr int kCallTimeoutMs = 10000;
}  // namespace

ClaimResult claimCommandBus(const BusAddress& address) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return {BusClaim::unavailable, str(bus.lastError().message())};
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(qs(address.service),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) return {BusClaim::unavailable, str(reply.error().message())};
    if (reply.value() != QDBusConnectionInterface::ServiceRegistered) return {BusClaim::taken, ""};
    return {BusClaim::mine, ""};
}

CommandBus::CommandBus(BusAddress address, CommandActions actions)
    : address_(std::move(address)), actions_(std::move(actions)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        log("commands: no session bus, so commands from the command line cannot reach this "
            "program (" +
            str(bus.lastError().message()) + ")");
        return;
    }
    registered_ = bus.registerVirtualObject(qs(address_.path), this, QDBusConnection::SingleNode);
    log(registered_ ? "commands: listening on the session bus as " + address_.service
                    : "commands: cannot answer at " + address_.path + " on the session bus");
}

CommandBus::~CommandBus() {
    if (!registered_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(qs(address_.path));
    bus.unregisterService(qs(address_.service));
}

QString CommandBus::introspect(const QString&) const {
    return qs(commandInterfaceXml(address_));
}

bool CommandBus::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    std::vector<std::string> args;
    for (const QVariant& v : message.arguments())
        if (v.metaType().id() == QMetaType::QString) args.push_back(str(v.toString()));
    const CommandReply reply = answerCommand(address_, actions_, str(message.interface()),
                                             str(message.member()), str(message.signature()), args);
    if (!message.isReplyRequired()) return true;
    if (const auto* error = std::get_if<ErrorReply>(&reply)) {
        connection.send(message.createErrorReply(qs(error->name), qs(error->message)));
    } else if (const auto& result = std::get<Done>(reply).result) {
        connection.send(message.createReply(qs(*result)));
    } else {
        connection.send(message.createReply());
    }
    return true;
}

CallOutcome callRunningProgram(const BusAddress& address, const RemoteCall& call) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return NoSessionBus{str(bus.lastError().message())};
    QDBusMessage m = QDBusMessage::createMethodCall(qs(address.service), qs(address.path),
                                                    qs(address.interface), qs(call.method));
    if (call.argument) m << qs(*call.argument);
    // The bus must not start a tray program to answer.
    m.setAutoStartService(false);
    const QDBusMessage reply = bus.call(m, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return ErrorReply{str(reply.errorName()), str(reply.errorMessage())};
    return Answered{};
}

}  // namespace seam
