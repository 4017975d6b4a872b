#include "support/command.h"

#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace seam::testing {

FILE* startCommand(const std::string& commandLine) {
    return ::popen(commandLine.c_str(), "r");
}

CommandRun finishCommand(FILE* p) {
    CommandRun r;
    if (!p) return r;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;)
        r.out.append(buf.data(), n);
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

CommandRun runCommand(const std::string& commandLine) {
    return finishCommand(startCommand(commandLine));
}

std::string programOnWayland(const std::string& socket, const std::string& args,
                             const std::string& bus, const std::string& settings) {
    const std::string dir = socket.substr(0, socket.rfind('/'));
    const std::string busSetting =
        bus.empty() ? " -u DBUS_SESSION_BUS_ADDRESS" : " DBUS_SESSION_BUS_ADDRESS='" + bus + "'";
    return "env -u DISPLAY -u SEAMWRIGHT_BACKEND" + busSetting + " WAYLAND_DISPLAY='" + socket +
           "' XDG_RUNTIME_DIR='" + dir + "' XDG_STATE_HOME='" + dir + "' " + settings +
           " timeout 20 " SEAM_BINARY_DIR "/seamwright " + args + " 2>&1";
}

}  // namespace seam::testing
