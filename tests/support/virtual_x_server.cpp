#include "support/virtual_x_server.h"

#include "support/command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

namespace seam::testing {

namespace {

std::string lastErrorText;

constexpr int kFirstDisplay = 50;
constexpr int kLastDisplay = 99;

bool displayLooksFree(int n) {
    namespace fs = std::filesystem;
    std::error_code ec;
    return !fs::exists("/tmp/.X11-unix/X" + std::to_string(n), ec) &&
           !fs::exists("/tmp/.X" + std::to_string(n) + "-lock", ec);
}

// Waits for the server to write its display number on the -displayfd pipe; it
// does so only once it accepts connections.
bool waitReady(int fd, pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string got;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) > 0) {
            char buf[32];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0) return false;  // the server exited before it was ready
            got.append(buf, std::size_t(n));
            if (got.find('\n') != std::string::npos) return true;
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return false;
    }
    return false;
}

void stopServer(pid_t pid) {
    ::kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling a process
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
}

pid_t spawnServer(int n, int readyFd) {
    const std::string display = ":" + std::to_string(n);
    const std::string config = std::string(SEAM_SOURCE_DIR) + "/scripts/xdummy.conf";
    const std::string logFile = "/tmp/seam-xorg-" + std::to_string(n) + ".log";
    const std::string fd = std::to_string(readyFd);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // Child: die with the test process, whatever way it ends.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);
    ::setpgid(0, 0);  // keeps terminal signals for the tests away from the server
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
    }
    ::execlp("Xorg", "Xorg", display.c_str(), "-config", config.c_str(), "-noreset", "-nolisten",
             "tcp", "-logfile", logFile.c_str(), "-displayfd", fd.c_str(), "-novtswitch",
             "-sharevts", static_cast<char*>(nullptr));
    ::_exit(127);
}

}  // namespace

const std::string& VirtualXServer::lastError() {
    return lastErrorText;
}

std::unique_ptr<VirtualXServer> VirtualXServer::start() {
    for (int n = kFirstDisplay; n <= kLastDisplay; ++n) {
        if (!displayLooksFree(n)) continue;
        int fds[2];
        if (::pipe(fds) != 0) {
            lastErrorText = "pipe failed";
            return nullptr;
        }
        ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        const pid_t pid = spawnServer(n, fds[1]);
        ::close(fds[1]);
        if (pid < 0) {
            ::close(fds[0]);
            lastErrorText = "fork failed";
            return nullptr;
        }
        const bool ready = waitReady(fds[0], pid);
        ::close(fds[0]);
        if (!ready) {
            // Someone else may have taken this number meanwhile: try the next one.
            stopServer(pid);
            lastErrorText = "Xorg :" + std::to_string(n) + " did not start; see /tmp/seam-xorg-" +
                            std::to_string(n) + ".log";
            continue;
        }
        std::unique_ptr<VirtualXServer> server(new VirtualXServer(n, pid));
        if (!server->addModes() || !server->arrange(Monitors::two)) {
            lastErrorText = "xrandr could not arrange the monitors on :" + std::to_string(n);
            return nullptr;
        }
        return server;
    }
    if (lastErrorText.empty()) lastErrorText = "no free display number";
    return nullptr;
}

VirtualXServer::~VirtualXServer() {
    stopServer(pid_);
}

std::string VirtualXServer::logFile() const {
    return "/tmp/seam-xorg-" + std::to_string(number_) + ".log";
}

std::string VirtualXServer::xrandr(const std::string& args, int* exitCode) const {
    const std::string cmd = "DISPLAY=" + name() + " xrandr " + args + " 2>/dev/null";
    CommandRun r = runCommand(cmd);
    if (exitCode) *exitCode = r.exitCode;
    return std::move(r.out);
}

bool VirtualXServer::addModes() {
    // Timings only need to satisfy the dummy driver's ranges; 60 Hz each.
    int rc = 0;
    xrandr("--newmode seam1710x1112 128.13 1710 1750 1800 1870 1112 1115 1120 1142 -hsync +vsync",
           &rc);
    if (rc != 0) return false;
    xrandr("--newmode seam1280x960 83.09 1280 1320 1370 1440 960 963 968 990 -hsync +vsync", &rc);
    if (rc != 0) return false;
    // Both modes on both outputs, so tests can mirror one onto the other.
    for (const char* output : {"DUMMY0", "DUMMY1"}) {
        for (const char* mode : {"seam1710x1112", "seam1280x960"}) {
            xrandr(std::string("--addmode ") + output + " " + mode, &rc);
            if (rc != 0) return false;
        }
    }
    return true;
}

bool VirtualXServer::arrange(Monitors monitors) {
    int rc = 0;
    if (monitors == Monitors::one) {
        xrandr(
            "--output DUMMY1 --off --output DUMMY0 --mode seam1710x1112 --pos 0x0 --rotate "
            "normal --primary",
            &rc);
    } else {
        // DUMMY1 becomes connected at its first mode set.
        xrandr(
            "--output DUMMY0 --mode seam1710x1112 --pos 0x0 --rotate normal --primary "
            "--output DUMMY1 --mode seam1280x960 --pos 1710x0 --rotate normal",
            &rc);
    }
    if (rc != 0) return false;
    // The dummy driver reports a newly lit output as connected only after a
    // probe; clients reading the current resources would see it disconnected.
    xrandr("", &rc);
    return rc == 0;
}

bool VirtualXServer::outputPosition(const std::string& output, int& x, int& y) const {
    std::istringstream in(xrandr(""));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(output + " ", 0) != 0) continue;
        std::istringstream words(line);
        for (std::string w; words >> w;) {
            unsigned width = 0, height = 0;
            if (std::sscanf(w.c_str(), "%ux%u+%d+%d", &width, &height, &x, &y) == 4) return true;
        }
        return false;
    }
    return false;
}

std::string VirtualXServer::primaryOutput() const {
    std::istringstream in(xrandr(""));
    for (std::string line; std::getline(in, line);)
        if (line.find(" connected primary") != std::string::npos)
            return line.substr(0, line.find(' '));
    return {};
}

}  // namespace seam::testing
