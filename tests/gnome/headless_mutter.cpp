#include "headless_mutter.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <thread>

#include "support/command.h"

namespace seam::testing {

namespace {
namespace fs = std::filesystem;

// Tells the bus address on fd 3, runs the compositor and ends it when the test
// program is gone (a crashed test sends no signal).
constexpr const char* kSession =
    "echo \"$DBUS_SESSION_BUS_ADDRESS\" >&3; exec 3>&-; "
    "mutter --headless --wayland --no-x11 --virtual-monitor 1920x1080 "
    "--virtual-monitor 1280x1024 >\"$2\" 2>&1 & m=$!; "
    "while kill -0 \"$1\" 2>/dev/null && kill -0 $m 2>/dev/null; do sleep 0.3; done; "
    "kill $m 2>/dev/null; wait $m";

// The bus address, once the session has one; empty when it ended first.
std::string readAddress(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string got;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) continue;
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) return {};
        got.append(buf, std::size_t(n));
        if (auto nl = got.find('\n'); nl != std::string::npos) return got.substr(0, nl);
    }
    return {};
}

void stopGroup(pid_t pid) {
    ::kill(-pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            ::kill(-pid, SIGKILL);  // whatever of the session is left
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling a process
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, &status, 0);
}
}  // namespace

std::unique_ptr<HeadlessMutter> HeadlessMutter::start(std::string& error) {
    char pattern[] = "/tmp/seam-mutter-XXXXXX";
    if (!::mkdtemp(pattern)) {
        error = "no temporary folder";
        return nullptr;
    }
    const std::string folder = pattern;
    fs::create_directory(folder + "/config");
    fs::create_directory(folder + "/run");
    ::chmod((folder + "/run").c_str(), 0700);
    const std::string logFile = folder + "/mutter.log";
    const std::string parent = std::to_string(::getpid());

    int fds[2];
    if (::pipe(fds) != 0) {
        error = "pipe failed";
        return nullptr;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);  // stopped as one group: bus, compositor and the watch
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The read end may itself be fd 3: closed before the write end takes its place.
        ::close(fds[0]);
        ::dup2(fds[1], 3);
        if (fds[1] != 3) ::close(fds[1]);
        ::setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (folder + "/run").c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::execlp("dbus-run-session", "dbus-run-session", "--", "sh", "-c", kSession, "sh",
                 parent.c_str(), logFile.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        error = "fork failed";
        return nullptr;
    }
    const std::string bus = readAddress(fds[0]);
    ::close(fds[0]);
    std::unique_ptr<HeadlessMutter> m(new HeadlessMutter(folder, pid, bus));
    if (bus.empty()) {
        error = "dbus-run-session gave no bus";
        return nullptr;
    }
    const auto wait =
        runCommand("DBUS_SESSION_BUS_ADDRESS='" + bus +
                   "' gdbus wait --session --timeout 20 org.gnome.Mutter.DisplayConfig");
    if (wait.exitCode != 0) {
        error = "the compositor did not come up; see " + logFile;
        return nullptr;
    }
    return m;
}

HeadlessMutter::~HeadlessMutter() {
    stopGroup(pid_);
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

std::string HeadlessMutter::call(const std::string& methodAndArguments, int* exitCode) const {
    const auto run = runCommand("DBUS_SESSION_BUS_ADDRESS='" + bus_ +
                                "' gdbus call --session -d org.gnome.Mutter.DisplayConfig "
                                "-o /org/gnome/Mutter/DisplayConfig "
                                "-m org.gnome.Mutter.DisplayConfig." +
                                methodAndArguments + " 2>&1");
    if (exitCode) *exitCode = run.exitCode;
    return run.out;
}

bool logicalPosition(const std::string& reply, const std::string& connector, int& x, int& y,
                     bool* primary) {
    // (x, y, scale, uint32 transform, primary, [('connector', ...
    const std::regex logical(
        "\\((-?\\d+), (-?\\d+), [0-9.]+, (?:uint32 )?\\d+, (true|false), \\[\\('" + connector +
        "'");
    std::smatch m;
    if (!std::regex_search(reply, m, logical)) return false;
    x = std::stoi(m[1]);
    y = std::stoi(m[2]);
    if (primary) *primary = m[3] == "true";
    return true;
}

}  // namespace seam::testing
