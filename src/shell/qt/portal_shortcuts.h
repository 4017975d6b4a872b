// Global shortcuts through the desktop portal's GlobalShortcuts interface: one
// session holds our keys, the portal tells which was pressed. Each request is
// answered later by a Response signal on a path the caller can predict, so the
// answer is listened for before the request is sent.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

#include <functional>
#include <string>
#include <vector>

#include "shell/command_keys.h"

namespace seam {

class PortalShortcuts : public QObject, public CommandKeys {
    Q_OBJECT
  public:
    // Asks whether the portal offers global shortcuts; answered from the event loop.
    static void probe(const QDBusConnection& bus, std::function<void(bool offered)> answer);

    PortalShortcuts(const QDBusConnection& bus,
                    std::function<void(const std::vector<std::string>& args)> pressed);
    ~PortalShortcuts() override;

    // Replaces the session's keys: the old session is closed and a new one made.
    void bind(const std::vector<CommandKey>& keys) override;
    void unbindAll() override;

  private slots:
    void onResponse(uint response, const QVariantMap& results);
    // (o session, s id, t timestamp, a{sv} options)
    void onActivated(const QDBusMessage& signal);

  private:
    enum class Stage { idle, creating, listing, binding };
    void next();
    // Sends the call once its answer is listened for.
    void request(Stage stage, const QString& method, const QList<QVariant>& args,
                 const QString& token);
    QString token();
    void closeSession();
    QVariant shortcuts() const;
    void finish(const std::string& line);
    // Stops listening for the answer to the request under way.
    void forgetRequest();

    QDBusConnection bus_;
    std::function<void(const std::vector<std::string>&)> pressed_;
    std::vector<CommandKey> wanted_;
    std::vector<CommandKey> bound_;  // what the session holds, by the ids it was given
    bool dirty_ = false;
    Stage stage_ = Stage::idle;
    QString requestPath_;
    QString session_;
    int tokens_ = 0;
};

}  // namespace seam
