// The built program as a child process on the virtual server, with a home
// folder, settings and log of its own.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam::testing {

// The program as a child process with its own settings and log.
class Program {
  public:
    // prepare runs first, with the program's home folder: for settings made in advance.
    explicit Program(const std::function<void(const std::string& home)>& prepare = {}) {
        if (prepare) prepare(home_.path());
        const std::string bin = SEAM_BINARY_DIR "/seamwright";
        std::vector<std::string> env = {"DISPLAY=" + xserver()->name(),
                                        "XDG_STATE_HOME=" + home_.path() + "/state",
                                        "XDG_CONFIG_HOME=" + home_.path() + "/config",
                                        "HOME=" + home_.path(),
                                        "LANG=C",
                                        "LANGUAGE=",
                                        "QT_QPA_PLATFORM=xcb",
                                        "PATH=/usr/bin:/bin",
                                        "XDG_RUNTIME_DIR=" + home_.path()};
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(bin.c_str()), nullptr};
        if (posix_spawn(&pid_, bin.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
    }
    ~Program() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    bool running() const { return pid_ > 0; }
    const std::string& home() const { return home_.path(); }
    std::string logText() const {
        std::ifstream in(home_.path() + "/state/Seamwright/Seamwright.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Waits for a log line containing text; a child process has no other signal.
    bool waitForLog(const std::string& text, int seconds = 10) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            if (logText().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

  private:
    TempDir home_;
    pid_t pid_ = -1;
};

// Polls until cond holds: the program runs on its own clock, and what it does
// shows only through the server and its log.
inline bool eventually(const std::function<bool()>& cond, double seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return true;
}

}  // namespace seam::testing
