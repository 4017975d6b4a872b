#include "fixtures.h"

#include <archive.h>
#include <archive_entry.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "update/swap_script.h"

namespace seam::testing {

namespace fs = std::filesystem;

TinyHttpServer::TinyHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) serve(socket);
    });
}

std::string TinyHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port()) + path;
}

int TinyHttpServer::count(const QString& path) const {
    int n = 0;
    for (const auto& r : requests_) n += r.path == path;
    return n;
}

void TinyHttpServer::serve(QTcpSocket* socket) {
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const auto end = buffer->indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> lines = buffer->left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        Request req{QString::fromLatin1(first.value(1)), {}};
        for (const auto& line : lines) {
            const auto colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == "user-agent")
                req.userAgent = line.mid(colon + 1).trimmed();
        }
        requests_.push_back(req);
        const auto it = routes_.find(req.path);
        const Response r = it == routes_.end() ? Response{404, "missing"} : it->second;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) +
                         " X\r\nContent-Length: " + QByteArray::number(r.body.size()) +
                         "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n";
        auto answer = [socket, bytes = out + r.body] {
            socket->write(bytes);
            socket->disconnectFromHost();
        };
        if (req.path == held_) {
            waiting_.push_back(answer);
        } else {
            answer();
        }
    });
}

void TinyHttpServer::release() {
    held_.clear();
    for (auto& answer : waiting_) answer();
    waiting_.clear();
}

namespace {
la_ssize_t appendTo(struct archive*, void* client, const void* buf, size_t n) {
    static_cast<QByteArray*>(client)->append(static_cast<const char*>(buf), qsizetype(n));
    return la_ssize_t(n);
}
}  // namespace

QByteArray makeZip(const std::vector<ZipItem>& items) {
    QByteArray out;
    struct archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_bytes_in_last_block(a, 1);  // no padding: cuts must cut content
    archive_write_open(a, &out, nullptr, appendTo, nullptr);
    for (const auto& item : items) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, item.path.c_str());
        archive_entry_set_perm(e, item.mode);
        archive_entry_set_mtime(e, 1800000000, 0);
        switch (item.kind) {
            case ZipItem::file:
                archive_entry_set_filetype(e, AE_IFREG);
                archive_entry_set_size(e, la_int64_t(item.data.size()));
                break;
            case ZipItem::folder:
                archive_entry_set_filetype(e, AE_IFDIR);
                break;
            case ZipItem::link:
                archive_entry_set_filetype(e, AE_IFLNK);
                archive_entry_set_symlink(e, item.data.c_str());
                break;
        }
        archive_write_header(a, e);
        if (item.kind == ZipItem::file) archive_write_data(a, item.data.data(), item.data.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
    return out;
}

std::string plistText(const std::string& identifier, const std::string& version) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "\t<key>CFBundleExecutable</key>\n\t<string>seamwright</string>\n"
           "\t<key>CFBundleIdentifier</key>\n\t<string>" +
           identifier +
           "</string>\n"
           "\t<key>CFBundleShortVersionString</key>\n\t<string>" +
           version + "</string>\n</dict>\n</plist>\n";
}

std::vector<ZipItem> bundleItems(const std::string& prefix, const std::string& version,
                                 const std::string& identifier, const std::string& marker) {
    const std::string b = prefix + kBundleName;
    return {
        {b + "/", ZipItem::folder, "", 0755},
        {b + "/Contents/", ZipItem::folder, "", 0755},
        {b + "/Contents/bin/", ZipItem::folder, "", 0755},
        {b + "/" + kBundleInfo, ZipItem::file, plistText(identifier, version)},
        // The swap's exchange is the real program's (EXCHANGER stands in when set).
        {b + "/" + kBundleExecutable, ZipItem::file,
         "#!/bin/sh\n[ \"$1\" = --exchange-bundles ] && exec \"${EXCHANGER:-" SEAM_BINARY_DIR
         "/seamwright}\" \"$@\"\necho \"$0 " +
             version + "\" > '" + marker + "'\n",
         0755},
    };
}

void writeItems(const std::string& folder, const std::vector<ZipItem>& items) {
    for (const auto& item : items) {
        const fs::path p = fs::path(folder) / item.path;
        if (item.kind == ZipItem::folder) {
            fs::create_directories(p);
            continue;
        }
        fs::create_directories(p.parent_path());
        if (item.kind == ZipItem::link) {
            fs::create_symlink(item.data, p);
            continue;
        }
        std::ofstream(p, std::ios::binary) << item.data;
        fs::permissions(p, fs::perms(item.mode));
    }
}

std::map<std::string, std::string> snapshot(const std::string& root,
                                            const std::function<bool(const std::string&)>& skip) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const std::string rel = fs::relative(it->path(), root).string();
        if (skip && skip(rel)) {
            if (it->is_directory() && !it->is_symlink()) it.disable_recursion_pending();
            continue;
        }
        if (it->is_symlink())
            out[rel] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            out[rel] = "<folder>";
        else
            out[rel] = fileText(it->path().string());
    }
    return out;
}

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "test_updateint";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

bool pumpUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace seam::testing
