#include "base/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace seam {

namespace fs = std::filesystem;

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool replaceFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temp = path + ".tmp-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    temp = name.data();
    // mkstemp makes the file private; settings files are the user's own anyway.
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself must reach the disk before the old contents are gone for good.
    if (const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void removeStaleTemporaries(const std::string& path, double maxAgeSeconds) {
    std::error_code ec;
    const fs::path file(path);
    const std::string prefix = file.filename().string() + ".tmp-";
    const auto now = fs::file_time_type::clock::now();
    for (const auto& e : fs::directory_iterator(file.parent_path(), ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(prefix, 0) != 0 || name.size() != prefix.size() + 6) continue;
        const auto written = e.last_write_time(ec);
        if (ec) continue;
        if (std::chrono::duration<double>(now - written).count() > maxAgeSeconds)
            fs::remove(e.path(), ec);
    }
}

}  // namespace seam
