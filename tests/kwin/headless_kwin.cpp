#include "headless_kwin.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "support/command.h"

namespace seam::testing {

namespace fs = std::filesystem;

namespace {
std::string& error() {
    static std::string e;
    return e;
}

template <typename F>
bool waitFor(F ready) {
    for (int i = 0; i < 300; ++i) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}
}  // namespace

const std::string& HeadlessKwin::lastError() {
    return error();
}

std::unique_ptr<HeadlessKwin> HeadlessKwin::start(const std::string& bus) {
    if (!fs::exists("/usr/bin/kwin_wayland") || !fs::exists("/usr/bin/dbus-run-session")) {
        error() = "kwin_wayland or dbus-run-session is not installed";
        return nullptr;
    }
    char tmpl[] = "/tmp/seam-kwin.XXXXXX";
    if (!mkdtemp(tmpl)) {
        error() = "cannot make a runtime folder";
        return nullptr;
    }
    const std::string dir = tmpl;
    std::error_code ec;
    // A copy carries no file capability.
    fs::copy_file("/usr/bin/kwin_wayland", dir + "/kwin_wayland", ec);
    if (ec) {
        error() = "cannot copy kwin_wayland: " + ec.message();
        fs::remove_all(dir, ec);
        return nullptr;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        error() = "fork failed";
        fs::remove_all(dir, ec);
        return nullptr;
    }
    if (pid == 0) {
        setsid();
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int log = open((dir + "/kwin.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        const std::string runtime = "XDG_RUNTIME_DIR=" + dir, home = "HOME=" + dir;
        const std::string kwin = dir + "/kwin_wayland";
        if (!bus.empty()) {
            const std::string address = "DBUS_SESSION_BUS_ADDRESS=" + bus;
            const char* env[] = {"PATH=/usr/bin:/bin",
                                 runtime.c_str(),
                                 home.c_str(),
                                 address.c_str(),
                                 "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1",
                                 nullptr};
            execle(kwin.c_str(), kwin.c_str(), "--virtual", "--output-count", "2", "--width",
                   "1920", "--height", "1080", "--socket", "wayland-kwin",
                   static_cast<char*>(nullptr), env);
            _exit(127);
        }
        const char* env[] = {"PATH=/usr/bin:/bin", runtime.c_str(), home.c_str(), nullptr};
        execle("/usr/bin/dbus-run-session", "dbus-run-session", "--", kwin.c_str(), "--virtual",
               "--output-count", "2", "--width", "1920", "--height", "1080", "--socket",
               "wayland-kwin", static_cast<char*>(nullptr), env);
        _exit(127);
    }
    std::unique_ptr<HeadlessKwin> kwin(new HeadlessKwin(pid, dir));
    if (!waitFor([&] { return kwin->outputs().size() == 2; })) {
        error() = "KWin did not come up with two outputs; see its log in " + dir;
        return nullptr;
    }
    return kwin;
}

HeadlessKwin::~HeadlessKwin() {
    kill(-pid_, SIGTERM);
    int status = 0;
    if (!waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    // KWin may outlive the session runner for a moment, writing its settings.
    if (!waitFor([&] { return kill(-pid_, 0) != 0; })) kill(-pid_, SIGKILL);
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::vector<KwinShownOutput> HeadlessKwin::outputs() const {
    const CommandRun run = runCommand("XDG_RUNTIME_DIR='" + dir_ +
                                      "' WAYLAND_DISPLAY=wayland-kwin wayland-info 2>/dev/null");
    std::vector<KwinShownOutput> out;
    static const std::regex name(R"(^\s*name: '([^']*)')");
    static const std::regex place(R"(^\s*logical_x: (-?\d+), logical_y: (-?\d+))");
    static const std::regex size(R"(^\s*logical_width: (\d+), logical_height: (\d+))");
    bool inXdg = false;
    std::istringstream in(run.out);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (l.find("xdg_output_v1") != std::string::npos) {
            inXdg = true;
            out.push_back({});
        } else if (inXdg && std::regex_search(l, m, name)) {
            out.back().name = m[1];
        } else if (inXdg && std::regex_search(l, m, place)) {
            out.back().x = std::stoi(m[1]);
            out.back().y = std::stoi(m[2]);
        } else if (inXdg && std::regex_search(l, m, size)) {
            out.back().width = std::stoi(m[1]);
            out.back().height = std::stoi(m[2]);
            inXdg = false;
        }
    }
    return out;
}

}  // namespace seam::testing
