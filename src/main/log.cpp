#include "main/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "main/dry_run.h"

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

// The first line creates the file whole: write a sibling and rename it in, so a
// reader never sees a half-written file.
void createWith(const std::string& path, const std::string& line) {
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return;
    const bool ok = writeAll(fd, line);
    ::fchmod(fd, 0644);
    ::close(fd);
    if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) ::unlink(tmp.c_str());
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
    const int fd = ::open(gLogPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        createWith(gLogPath, line);
        return;
    }
    writeAll(fd, line);
    ::close(fd);
}

}  // namespace seam
