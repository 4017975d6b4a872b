#include "support/headless_compositor.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/command.h"

namespace seam::testing {

HeadlessCompositor::HeadlessCompositor(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data())) folder_ = pattern;
}

HeadlessCompositor::~HeadlessCompositor() {
    stop();
}

void HeadlessCompositor::stop() {
    if (pid_ > 0) {
        ::kill(-pid_, SIGTERM);
        int status = 0;
        if (!waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, 10)) {
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        // What the leader started may outlive it for a moment, writing its settings.
        if (!waitUntil([&] { return ::kill(-pid_, 0) != 0; }, 5)) ::kill(-pid_, SIGKILL);
        pid_ = -1;
    }
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    folder_.clear();
}

bool HeadlessCompositor::spawn(const std::vector<std::string>& argv,
                               const std::vector<std::string>& env, const std::string& logName,
                               std::string& error, std::optional<std::pair<uid_t, gid_t>> user,
                               int deathSignal) {
    if (folder_.empty()) {
        error = "cannot make a folder for the compositor";
        return false;
    }
    std::vector<char*> args, vars;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env) vars.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    vars.push_back(nullptr);
    const std::string logFile = folder_ + "/" + logName;
    pid_ = ::fork();
    if (pid_ < 0) {
        error = "fork failed";
        return false;
    }
    if (pid_ == 0) {
        ::setsid();
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        if (user && ::getuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(user->second) != 0 ||
             ::setuid(user->first) != 0))
            ::_exit(126);
        // After the user change, which would clear it.
        ::prctl(PR_SET_PDEATHSIG, deathSignal);
        ::execve(args[0], args.data(), vars.data());
        ::_exit(127);
    }
    return true;
}

}  // namespace seam::testing
