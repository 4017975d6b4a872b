#include "support/command.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

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
