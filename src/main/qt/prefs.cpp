#include "main/qt/prefs.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <cmath>

#include "main/dry_run.h"
#include "main/version.h"

namespace seam {

namespace {

// Bytes are kept as {"data": base64} so they cannot be confused with text.
QJsonValue toJson(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Bool: return v.toBool();
        case QMetaType::LongLong:
        case QMetaType::Int: return static_cast<double>(v.toLongLong());
        case QMetaType::Double: return v.toDouble();
        case QMetaType::QByteArray:
            return QJsonObject{{"data", QString::fromLatin1(v.toByteArray().toBase64())}};
        default: return v.toString();
    }
}

QVariant fromJson(const QJsonValue& j) {
    if (j.isBool()) return j.toBool();
    if (j.isDouble()) {
        const double d = j.toDouble();
        if (std::trunc(d) == d && std::abs(d) < 9.0e15) return static_cast<qlonglong>(d);
        return d;
    }
    if (j.isObject() && j.toObject().contains("data"))
        return QByteArray::fromBase64(j.toObject().value("data").toString().toLatin1());
    return j.toString();
}

bool readJson(QIODevice& device, QSettings::SettingsMap& map) {
    const QJsonDocument doc = QJsonDocument::fromJson(device.readAll());
    if (!doc.isObject()) return device.size() == 0;  // an empty file is an empty store
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it) map.insert(it.key(), fromJson(it.value()));
    return true;
}

bool writeJson(QIODevice& device, const QSettings::SettingsMap& map) {
    QJsonObject o;
    for (auto it = map.begin(); it != map.end(); ++it) o.insert(it.key(), toJson(it.value()));
    return device.write(QJsonDocument(o).toJson(QJsonDocument::Indented)) >= 0;
}

QSettings::Format jsonFormat() {
    static const QSettings::Format f = QSettings::registerFormat("json", readJson, writeJson);
    return f;
}

QString xdgFolder(const char* var, const char* fallback) {
    const QByteArray v = qgetenv(var);
    if (!v.isEmpty() && QDir::isAbsolutePath(QString::fromLocal8Bit(v))) return QString::fromLocal8Bit(v);
    return QDir::homePath() + "/" + fallback;
}

}  // namespace

QSettingsStore::QSettingsStore(const QString& folder, const QString& name)
    : settings_(std::make_unique<QSettings>(folder + "/" + name + ".json", jsonFormat())) {
    // A damaged file would be replaced by the next write: keep a copy first.
    if (settings_->status() == QSettings::FormatError) {
        const QString backup = settings_->fileName() + ".unreadable";
        QFile::remove(backup);
        QFile::copy(settings_->fileName(), backup);
    }
}

QSettingsStore::~QSettingsStore() = default;

std::optional<SettingValue> QSettingsStore::object(const std::string& key) const {
    const QVariant v = settings_->value(QString::fromStdString(key));
    if (!v.isValid()) return std::nullopt;
    switch (v.typeId()) {
        case QMetaType::Bool: return SettingValue{v.toBool()};
        case QMetaType::LongLong:
        case QMetaType::Int: return SettingValue{static_cast<std::int64_t>(v.toLongLong())};
        case QMetaType::Double: return SettingValue{v.toDouble()};
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            return SettingValue{Bytes(b.begin(), b.end())};
        }
        default: return SettingValue{v.toString().toStdString()};
    }
}

void QSettingsStore::set(const std::string& key, std::optional<SettingValue> value) {
    const QString k = QString::fromStdString(key);
    if (!value) {
        settings_->remove(k);
        return;
    }
    std::visit(
        [&](const auto& v) {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, bool>) settings_->setValue(k, v);
            else if constexpr (std::is_same_v<V, std::int64_t>) settings_->setValue(k, qlonglong(v));
            else if constexpr (std::is_same_v<V, double>) settings_->setValue(k, v);
            else if constexpr (std::is_same_v<V, std::string>)
                settings_->setValue(k, QString::fromStdString(v));
            else
                settings_->setValue(
                    k, QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size())));
        },
        *value);
}

void QSettingsStore::removeObject(const std::string& key) {
    settings_->remove(QString::fromStdString(key));
}

QString QSettingsStore::fileName() const { return settings_->fileName(); }
void QSettingsStore::sync() { settings_->sync(); }

QString settingsFolder() { return xdgFolder("XDG_CONFIG_HOME", ".config") + "/Seamwright"; }

SettingsStore& prefs() {
    static QSettingsStore store(settingsFolder(), dryRun() ? QString(kBundleIdentifier) + ".dryrun"
                                                           : QStringLiteral("Seamwright"));
    return store;
}

SettingsStore& standardDefaults() {
    if (!dryRun()) return prefs();
    static QSettingsStore store(settingsFolder(), QStringLiteral("Seamwright"));
    return store;
}

QString defaultLogPath() {
    return xdgFolder("XDG_STATE_HOME", ".local/state") + "/Seamwright/Seamwright.log";
}

bool renderPNG(QWidget* view, const QString& path) {
    if (!view || view->width() <= 0 || view->height() <= 0) return false;
    const QPixmap pixmap = view->grab();
    if (pixmap.isNull()) return false;
    return pixmap.save(path, "PNG");
}

}  // namespace seam
