#include "shell/qt/portal_shortcuts.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "base/log.h"

namespace {
// One shortcut as the portal takes it: (sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcut& s) {
    out.beginStructure();
    out << s.id << s.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcut& s) {
    in.beginStructure();
    in >> s.id >> s.properties;
    in.endStructure();
    return in;
}

namespace seam {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
// A portal that shows a dialog first may take long; one that is not there answers at once.
constexpr int kProbeTimeoutMs = 10000;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

void registerTypes() {
    static const bool once = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    (void)once;
}

// The handle may come as a text or as an object path, depending on the portal's age.
QString handleOf(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return v.value<QDBusObjectPath>().path();
    return v.toString();
}
}  // namespace

void PortalShortcuts::probe(const QDBusConnection& bus, std::function<void(bool)> answer) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get, kProbeTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [answer = std::move(answer)](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         answer(!w->isError());
                     });
}

PortalShortcuts::PortalShortcuts(const QDBusConnection& bus,
                                 std::function<void(const std::vector<std::string>&)> pressed)
    : bus_(bus), pressed_(std::move(pressed)) {
    registerTypes();
    bus_.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                 SLOT(onActivated(QDBusMessage)));
}

PortalShortcuts::~PortalShortcuts() {
    closeSession();
}

void PortalShortcuts::bind(const std::vector<CommandKey>& keys) {
    wanted_ = keys;
    next();
}

void PortalShortcuts::unbindAll() {
    bind({});
}

QString PortalShortcuts::token() {
    return QStringLiteral("seamwright%1").arg(++tokens_);
}

void PortalShortcuts::closeSession() {
    if (session_.isEmpty()) return;
    bus_.send(QDBusMessage::createMethodCall(kService, session_,
                                             QStringLiteral("org.freedesktop.portal.Session"),
                                             QStringLiteral("Close")));
    session_.clear();
}

QVariant PortalShortcuts::shortcuts() const {
    QList<PortalShortcut> list;
    for (const CommandKey& k : bound_) {
        QVariantMap properties{{"description", qs(commandKeyDescription(k))}};
        if (const auto trigger = portalTrigger(k.key))
            properties.insert("preferred_trigger", qs(*trigger));
        list.push_back({qs(k.name), properties});
    }
    return QVariant::fromValue(list);
}

void PortalShortcuts::next() {
    if (stage_ != Stage::idle) {
        dirty_ = true;
        return;
    }
    dirty_ = false;
    if (wanted_ == bound_ && !session_.isEmpty()) return;
    closeSession();
    bound_ = wanted_;
    if (bound_.empty()) return;
    // Some portals bind what CreateSession names and open a settings dialog on
    // BindShortcuts; the list read back says whether binding is still needed.
    const QString t = token();
    request(Stage::creating, QStringLiteral("CreateSession"),
            {QVariantMap{{"handle_token", t},
                         // One name for every session: desktops that keep the keys under
                         // it keep the user's changes to them.
                         {"session_handle_token", QStringLiteral("seamwright")},
                         {"shortcuts", shortcuts()}}},
            t);
}

void PortalShortcuts::request(Stage stage, const QString& method, const QList<QVariant>& args,
                              const QString& t) {
    QString sender = bus_.baseService().mid(1);
    sender.replace('.', '_');
    requestPath_ = kPath + "/request/" + sender + "/" + t;
    bus_.connect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                 SLOT(onResponse(uint, QVariantMap)));
    stage_ = stage;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (w->isError())
                    finish("hot keys: the portal refused " + method.toStdString() + ": " +
                           w->error().message().toStdString());
            });
}

void PortalShortcuts::forgetRequest() {
    if (!requestPath_.isEmpty())
        bus_.disconnect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                        SLOT(onResponse(uint, QVariantMap)));
    requestPath_.clear();
}

void PortalShortcuts::finish(const std::string& line) {
    forgetRequest();
    if (!line.empty()) log(line);
    stage_ = Stage::idle;
    if (dirty_) next();
}

void PortalShortcuts::onResponse(uint response, const QVariantMap& results) {
    forgetRequest();
    const std::string count = std::to_string(bound_.size());
    if (response != 0) {
        closeSession();
        finish("hot keys: the portal turned the keys down (" + std::to_string(response) + ")");
        return;
    }
    switch (stage_) {
        case Stage::creating: {
            session_ = handleOf(results.value("session_handle"));
            const QString t = token();
            request(
                Stage::listing, QStringLiteral("ListShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(session_)), QVariantMap{{"handle_token", t}}},
                t);
            return;
        }
        case Stage::listing: {
            QList<PortalShortcut> held;
            results.value("shortcuts").value<QDBusArgument>() >> held;
            std::size_t found = 0;
            for (const CommandKey& k : bound_)
                for (const PortalShortcut& s : held)
                    if (s.id == qs(k.name)) ++found;
            if (found == bound_.size()) {
                finish("hot keys: the portal holds " + count + " keys");
                return;
            }
            const QString t = token();
            request(Stage::binding, QStringLiteral("BindShortcuts"),
                    {QVariant::fromValue(QDBusObjectPath(session_)), shortcuts(), QString(),
                     QVariantMap{{"handle_token", t}}},
                    t);
            return;
        }
        case Stage::binding:
            finish("hot keys: the portal bound " + count + " keys");
            return;
        case Stage::idle:
            return;
    }
}

void PortalShortcuts::onActivated(const QDBusMessage& signal) {
    const QList<QVariant> args = signal.arguments();
    if (args.size() < 2 || handleOf(args[0]) != session_) return;
    const QString id = args[1].toString();
    for (const CommandKey& k : bound_)
        if (qs(k.name) == id) {
            pressed_(k.args);
            return;
        }
}

}  // namespace seam
