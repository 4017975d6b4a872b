#include "base/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/dry_run.h"

namespace seam {

namespace {
std::string gLogPath;

bool writeAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Opens for appending; never creates, never blocks on a pipe or device.
int openForAppend(const std::string& path, int extra = 0) {
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK | extra, 0644);
}

void append(int fd, const std::string& line) {
    writeAll(fd, line);
    ::close(fd);
}

// The first line creates the file whole: write a sibling and link it in, so a
// reader never sees a half-written file. Linking never replaces a file another
// writer made meanwhile; that one is appended to instead.
void createWith(const std::string& path, const std::string& line) {
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return;
    const bool ok = writeAll(fd, line);
    ::fchmod(fd, 0644);
    ::close(fd);
    const bool linked = ok && ::link(tmp.c_str(), path.c_str()) == 0;
    ::unlink(tmp.c_str());
    if (linked || !ok) return;
    // Taken meanwhile, or a file system without hard links.
    if (const int again = openForAppend(path, O_CREAT); again >= 0) append(again, line);
}
}  // namespace

std::string logLine(std::string_view message, std::time_t now, bool dryRun) {
    std::tm tm{};
    gmtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
    std::string line = stamp;
    line += ' ';
    if (dryRun) line += "dry-run ";
    // Messages carry text from outside (a feed's version, an archive's entry
    // names): a line break there would forge a line of its own.
    for (const char c : message) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else if ((u < 0x20 && c != '\t') || u == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            line += hex;
        } else {
            line += c;
        }
    }
    line += '\n';
    return line;
}

void setLogPath(std::string path) {
    gLogPath = std::move(path);
}
const std::string& logPath() {
    return gLogPath;
}

void log(std::string_view message) {
    if (gLogPath.empty()) return;
    const std::string line = logLine(message, std::time(nullptr), dryRun());
    const int fd = openForAppend(gLogPath);
    if (fd >= 0) return append(fd, line);
    // Only a missing file is made here. Anything else in the way (a folder, a
    // pipe, no permission, no descriptors left) costs this one line and leaves
    // what is there alone.
    if (errno == ENOENT) createWith(gLogPath, line);
}

}  // namespace seam
