// The real program on a private X server, for the benchmarks that time what a
// user waits for: started with its own settings and log, driven with XTEST and
// watched through the server.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/qt/prefs.h"
#include "support/virtual_x_server.h"

namespace seam::bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// One server for the whole run, with a 3840x2160 mode on both outputs.
inline testing::VirtualXServer* server() {
    static std::unique_ptr<testing::VirtualXServer> s = [] {
        auto started = testing::VirtualXServer::start();
        if (!started) {
            std::fprintf(stderr, "no X server: %s\n", testing::VirtualXServer::lastError().c_str());
            return started;
        }
        int rc = 0;
        started->xrandr(
            "--newmode seam3840x2160 262.75 3840 3888 3920 4000 2160 2163 2168 2190 +hsync -vsync",
            &rc);
        for (const char* output : {"DUMMY0", "DUMMY1"})
            if (rc == 0)
                started->xrandr(std::string("--addmode ") + output + " seam3840x2160", &rc);
        if (rc != 0) std::fprintf(stderr, "no 3840x2160 mode on the X server\n");
        return started;
    }();
    return s.get();
}

enum class Screens { small, large };

// The standard laptop-and-monitor desktop, or two 3840x2160 monitors side by side.
inline bool arrange(Screens screens) {
    if (!server()) return false;
    if (screens == Screens::small) return server()->arrange();
    int rc = 0;
    server()->xrandr(
        "--output DUMMY0 --mode seam3840x2160 --pos 0x0 --primary --output DUMMY1 --mode "
        "seam3840x2160 --pos 3840x0",
        &rc);
    return rc == 0;
}

// The program under test: SEAM_BENCH_PROGRAM, else the one built beside the benchmarks.
inline std::string programPath() {
    const char* chosen = std::getenv("SEAM_BENCH_PROGRAM");
    return chosen ? chosen : SEAM_BINARY_DIR "/seamwright";
}

class Program {
  public:
    explicit Program(const std::vector<std::string>& environment = {}) {
        char pattern[] = "/tmp/seam-bench-XXXXXX";
        if (!mkdtemp(pattern)) return;
        home_ = pattern;
        {
            // Not a first launch, and no update check leaves the machine.
            QSettingsStore settings(QString::fromStdString(home_ + "/config/Seamwright"),
                                    "Seamwright");
            settings.set("didShowGuide", true);
            settings.set("updateFeed", std::string("http://127.0.0.1:9/version.json"));
            settings.sync();
        }
        std::vector<std::string> env = {"DISPLAY=" + server()->name(),
                                        "XDG_STATE_HOME=" + home_ + "/state",
                                        "XDG_CONFIG_HOME=" + home_ + "/config",
                                        "HOME=" + home_,
                                        "LANG=C",
                                        "QT_QPA_PLATFORM=xcb",
                                        "PATH=/usr/bin:/bin",
                                        "XDG_RUNTIME_DIR=" + home_};
        env.insert(env.end(), environment.begin(), environment.end());
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string bin = programPath();
        char* argv[] = {const_cast<char*>(bin.c_str()), nullptr};
        started_ = Clock::now();
        if (posix_spawn(&pid_, bin.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        std::error_code ec;
        if (!home_.empty()) std::filesystem::remove_all(home_, ec);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t pid() const { return pid_; }
    Clock::time_point started() const { return started_; }
    std::string log() const {
        std::ifstream in(home_ + "/state/Seamwright/Seamwright.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Ready: the launch line and the layouts line are written.
    bool ready() const {
        const std::string text = log();
        return text.find("launch Seamwright") != std::string::npos &&
               text.find("layouts:") != std::string::npos;
    }
    bool waitReady(double seconds = 20) const {
        const auto start = Clock::now();
        while (secondsSince(start) < seconds) {
            if (ready()) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return false;
    }
    // Resident memory in kB, from the kernel's account of the process.
    long residentKb() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
        return -1;
    }

  private:
    std::string home_;
    pid_t pid_ = -1;
    Clock::time_point started_;
};

}  // namespace seam::bench
