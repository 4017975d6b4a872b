#include "platform/gnome/qt/mutter_dbus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QVariantMap>

#include <memory>

namespace seam {
namespace {

// Arguments of ApplyMonitorsConfig: a(iiduba(ssa{sv})).
struct WireMonitor {
    QString connector;
    QString mode;
};
struct WireLogical {
    int x = 0;
    int y = 0;
    double scale = 1;
    uint transform = 0;
    bool primary = false;
    QList<WireMonitor> monitors;
};

}  // namespace
}  // namespace seam

Q_DECLARE_METATYPE(seam::WireMonitor)
Q_DECLARE_METATYPE(seam::WireLogical)

namespace seam {
namespace {

QDBusArgument& operator<<(QDBusArgument& a, const WireMonitor& m) {
    a.beginStructure();
    a << m.connector << m.mode << QVariantMap();
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, WireMonitor& m) {
    QVariantMap properties;
    a.beginStructure();
    a >> m.connector >> m.mode >> properties;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const WireLogical& l) {
    a.beginStructure();
    a << l.x << l.y << l.scale << l.transform << l.primary << l.monitors;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, WireLogical& l) {
    a.beginStructure();
    a >> l.x >> l.y >> l.scale >> l.transform >> l.primary >> l.monitors;
    a.endStructure();
    return a;
}

void registerTypes() {
    static const bool done = [] {
        qDBusRegisterMetaType<WireMonitor>();
        qDBusRegisterMetaType<QList<WireMonitor>>();
        qDBusRegisterMetaType<WireLogical>();
        qDBusRegisterMetaType<QList<WireLogical>>();
        return true;
    }();
    (void)done;
}

QVariantMap mapOf(const QVariant& v) {
    if (v.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
    return v.toMap();
}

std::string text(const QString& s) {
    return s.toStdString();
}

// (ssss): connector, vendor, product, serial.
QString readSpec(const QDBusArgument& a, MutterMonitor* into = nullptr) {
    QString connector, vendor, product, serial;
    a.beginStructure();
    a >> connector >> vendor >> product >> serial;
    a.endStructure();
    if (into) {
        into->connector = text(connector);
        into->vendor = text(vendor);
        into->product = text(product);
        into->serial = text(serial);
    }
    return connector;
}

// a((ssss)a(siiddada{sv})a{sv})
std::vector<MutterMonitor> readMonitors(const QDBusArgument& a) {
    std::vector<MutterMonitor> out;
    a.beginArray();
    while (!a.atEnd()) {
        MutterMonitor m;
        a.beginStructure();
        readSpec(a, &m);
        a.beginArray();
        while (!a.atEnd()) {
            QString id;
            int width = 0, height = 0;
            double refresh = 0, preferredScale = 0;
            QList<double> scales;
            QVariantMap properties;
            a.beginStructure();
            a >> id >> width >> height >> refresh >> preferredScale >> scales >> properties;
            a.endStructure();
            m.modes.push_back({.id = text(id),
                               .width = width,
                               .height = height,
                               .refresh = refresh,
                               .current = properties.value("is-current").toBool()});
        }
        a.endArray();
        QVariantMap properties;
        a >> properties;
        a.endStructure();
        m.builtin = properties.value("is-builtin").toBool();
        if (properties.contains("display-name"))
            m.displayName = text(properties.value("display-name").toString());
        out.push_back(std::move(m));
    }
    a.endArray();
    return out;
}

// a(iiduba(ssss)a{sv})
std::vector<MutterLogicalMonitor> readLogical(const QDBusArgument& a) {
    std::vector<MutterLogicalMonitor> out;
    a.beginArray();
    while (!a.atEnd()) {
        MutterLogicalMonitor lm;
        uint transform = 0;
        a.beginStructure();
        a >> lm.x >> lm.y >> lm.scale >> transform >> lm.primary;
        lm.transform = transform;
        a.beginArray();
        while (!a.atEnd()) lm.connectors.push_back(text(readSpec(a)));
        a.endArray();
        QVariantMap properties;
        a >> properties;
        a.endStructure();
        out.push_back(std::move(lm));
    }
    a.endArray();
    return out;
}

}  // namespace

std::optional<MutterState> stateFromReply(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage ||
        reply.signature() != "ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})a{sv}")
        return std::nullopt;
    const QList<QVariant> args = reply.arguments();
    MutterState s;
    s.serial = args[0].toUInt();
    s.monitors = readMonitors(args[1].value<QDBusArgument>());
    s.logical = readLogical(args[2].value<QDBusArgument>());
    const QVariantMap properties = mapOf(args[3]);
    s.layoutMode = properties.value("layout-mode", kLayoutPhysical).toUInt();
    s.supportsChangingLayoutMode = properties.value("supports-changing-layout-mode").toBool();
    return s;
}

QDBusMessage applyCall(const MutterApply& apply) {
    registerTypes();
    QList<WireLogical> logical;
    for (const ApplyLogicalMonitor& l : apply.logical) {
        WireLogical w{l.x, l.y, l.scale, l.transform, l.primary, {}};
        for (const ApplyMonitor& m : l.monitors)
            w.monitors.push_back(
                {QString::fromStdString(m.connector), QString::fromStdString(m.modeId)});
        logical.push_back(w);
    }
    QVariantMap properties;
    if (apply.layoutMode) properties["layout-mode"] = QVariant::fromValue(uint(*apply.layoutMode));
    QDBusMessage call = QDBusMessage::createMethodCall(kMutterService, kMutterPath,
                                                       kMutterInterface, "ApplyMonitorsConfig");
    call << QVariant::fromValue(uint(apply.serial)) << QVariant::fromValue(uint(apply.method))
         << QVariant::fromValue(logical) << properties;
    return call;
}

MonitorsChangedWatch::MonitorsChangedWatch(QDBusConnection bus, std::function<void()> onChange)
    : bus_(std::move(bus)), onChange_(std::move(onChange)) {
    connected_ = bus_.connect(kMutterService, kMutterPath, kMutterInterface, "MonitorsChanged",
                              this, SLOT(monitorsChanged()));
}

MonitorsChangedWatch::~MonitorsChangedWatch() {
    if (connected_)
        bus_.disconnect(kMutterService, kMutterPath, kMutterInterface, "MonitorsChanged", this,
                        SLOT(monitorsChanged()));
}

void MonitorsChangedWatch::monitorsChanged() {
    if (onChange_) onChange_();
}

bool MutterDisplayConfig::present() const {
    if (!bus_.isConnected() || !bus_.interface()) return false;
    return bus_.interface()->isServiceRegistered(kMutterService).value();
}

std::optional<MutterState> MutterDisplayConfig::currentState(std::string* error) {
    const QDBusMessage call = QDBusMessage::createMethodCall(kMutterService, kMutterPath,
                                                             kMutterInterface, "GetCurrentState");
    const QDBusMessage reply = bus_.call(call);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (error) *error = text(reply.errorMessage());
        return std::nullopt;
    }
    auto state = stateFromReply(reply);
    if (!state && error) *error = "unexpected reply " + text(reply.signature());
    return state;
}

bool MutterDisplayConfig::apply(const MutterApply& apply, std::string* error) {
    const QDBusMessage reply = bus_.call(applyCall(apply));
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    if (error) *error = text(reply.errorMessage());
    return false;
}

std::unique_ptr<ChangeWatch> MutterDisplayConfig::watch(std::function<void()> onChange) {
    // Signals arrive on the application's event loop.
    if (!QCoreApplication::instance()) return nullptr;
    auto w = std::make_unique<MonitorsChangedWatch>(bus_, std::move(onChange));
    if (!w->connected()) return nullptr;
    return w;
}

}  // namespace seam
