#include "headless_sway.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "support/command.h"

namespace seam::testing {

namespace fs = std::filesystem;

namespace {
std::string& error() {
    static std::string e;
    return e;
}

// Waits for something sway makes on starting; sway needs a moment to come up.
template <typename F>
bool waitFor(F ready) {
    for (int i = 0; i < 200; ++i) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}
}  // namespace

const std::string& HeadlessSway::lastError() {
    return error();
}

std::unique_ptr<HeadlessSway> HeadlessSway::start(const std::vector<std::string>& more) {
    uid_t uid = getuid();
    gid_t gid = getgid();
    if (uid == 0) {
        const char* name = std::getenv("SEAMWRIGHT_TEST_USER");
        const passwd* pw = getpwnam(name && *name ? name : "nobody");
        if (!pw) {
            error() = "no unprivileged user to run sway as";
            return nullptr;
        }
        uid = pw->pw_uid;
        gid = pw->pw_gid;
    }
    char tmpl[] = "/tmp/seam-sway.XXXXXX";
    if (!mkdtemp(tmpl)) {
        error() = "cannot make a runtime folder";
        return nullptr;
    }
    const std::string dir = tmpl;
    std::ofstream(dir + "/config") << "output HEADLESS-1 mode 1710x1112 position 0 0\n";
    if (chown(dir.c_str(), uid, gid) != 0 || chmod(dir.c_str(), 0700) != 0) {
        error() = "cannot hand the runtime folder to the sway user";
        fs::remove_all(dir);
        return nullptr;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        error() = "fork failed";
        fs::remove_all(dir);
        return nullptr;
    }
    if (pid == 0) {
        setsid();
        const int log = open((dir + "/sway.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
            _exit(126);
        // After the user change, which would clear it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const std::string runtime = "XDG_RUNTIME_DIR=" + dir, home = "HOME=" + dir;
        std::vector<const char*> env = {"PATH=/usr/bin:/bin",
                                        runtime.c_str(),
                                        home.c_str(),
                                        "WLR_BACKENDS=headless",
                                        "WLR_LIBINPUT_NO_DEVICES=1",
                                        "WLR_RENDERER=pixman"};
        for (const std::string& e : more) env.push_back(e.c_str());
        env.push_back(nullptr);
        const std::string config = dir + "/config";
        execle("/usr/bin/sway", "sway", "-c", config.c_str(), static_cast<char*>(nullptr),
               const_cast<char* const*>(env.data()));
        _exit(127);
    }
    std::unique_ptr<HeadlessSway> sway(new HeadlessSway(pid, dir));
    if (!waitFor([&] { return fs::exists(sway->socket()) && !sway->ipcSocket().empty(); })) {
        error() = "sway did not come up; see its log in " + dir;
        return nullptr;
    }
    int rc = 0;
    sway->swaymsg("create_output", &rc);
    if (rc != 0 || !sway->arrange()) {
        error() = "sway did not make the second output";
        return nullptr;
    }
    return sway;
}

HeadlessSway::~HeadlessSway() {
    kill(-pid_, SIGTERM);
    int status = 0;
    bool gone = waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
    if (!gone) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::string HeadlessSway::ipcSocket() const {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_, ec))
        if (e.path().filename().string().rfind("sway-ipc.", 0) == 0) return e.path().string();
    return {};
}

std::string HeadlessSway::swaymsg(const std::string& args, int* exitCode) const {
    const CommandRun run = runCommand("swaymsg -s '" + ipcSocket() + "' " + args + " 2>&1");
    if (exitCode) *exitCode = run.exitCode;
    return run.out;
}

std::vector<SwayOutput> HeadlessSway::outputs() const {
    std::vector<SwayOutput> out;
    const auto json = nlohmann::json::parse(swaymsg("-r -t get_outputs"), nullptr, false);
    if (!json.is_array()) return out;
    for (const auto& o : json) {
        const auto& r = o["rect"];
        out.push_back({o.value("name", ""), o.value("active", false), r.value("x", 0),
                       r.value("y", 0), r.value("width", 0), r.value("height", 0)});
    }
    return out;
}

bool HeadlessSway::arrange() {
    int a = 0, b = 0;
    swaymsg("output HEADLESS-1 enable mode 1710x1112 position 0 0 scale 1", &a);
    swaymsg("output HEADLESS-2 enable mode 1280x960 position 1710 0 scale 1", &b);
    return a == 0 && b == 0;
}

}  // namespace seam::testing
