// What the updater tests need around them: a tiny web server on 127.0.0.1,
// bundles on disk and in zip archives, folder snapshots and waiting.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QTcpServer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/command.h"

namespace seam::testing {

class TinyHttpServer {
  public:
    struct Response {
        int status = 200;
        QByteArray body;
    };
    struct Request {
        QString path;
        QByteArray userAgent;
    };

    TinyHttpServer();
    quint16 port() const { return server_.serverPort(); }
    std::string url(const std::string& path) const;
    void route(const QString& path, Response response) { routes_[path] = std::move(response); }
    // Requests for path wait for release(), as a slow download does.
    void hold(const QString& path) { held_ = path; }
    void release();
    const std::vector<Request>& requests() const { return requests_; }
    int count(const QString& path) const;

  private:
    void serve(class QTcpSocket* socket);
    QTcpServer server_;
    std::map<QString, Response> routes_;
    std::vector<Request> requests_;
    QString held_;
    std::vector<std::function<void()>> waiting_;
};

struct ZipItem {
    enum Kind { file, folder, link };
    std::string path;
    Kind kind = file;
    std::string data;  // a file's bytes, a link's target
    int mode = 0644;
};
QByteArray makeZip(const std::vector<ZipItem>& items);

std::string plistText(const std::string& identifier, const std::string& version);
// A bundle whose program writes "<its own path> <version>" into marker when
// started, and hands an exchange of bundles to the real program.
std::vector<ZipItem> bundleItems(const std::string& prefix, const std::string& version,
                                 const std::string& identifier, const std::string& marker);
void writeItems(const std::string& folder, const std::vector<ZipItem>& items);

// Every entry under root (links not followed): path -> contents, link target or
// "<folder>"; skip(relative path) leaves entries out.
std::map<std::string, std::string> snapshot(
    const std::string& root, const std::function<bool(const std::string&)>& skip = {});

// The one application object of the test program, made on first use.
QCoreApplication& application();

// Runs the event loop until done() or the deadline.
bool pumpUntil(const std::function<bool()>& done, int ms = 15000);

}  // namespace seam::testing
