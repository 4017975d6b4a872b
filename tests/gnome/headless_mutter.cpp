#include "headless_mutter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "support/command.h"

extern char** environ;

namespace seam::testing {

namespace {
// Tells the bus address in a file, runs the compositor and ends it when the
// test program is gone (a crashed test sends no signal to what the session runs).
constexpr const char* kSession =
    "echo \"$DBUS_SESSION_BUS_ADDRESS\" >\"$2.new\"; mv \"$2.new\" \"$2\"; "
    "mutter --headless --wayland --no-x11 --virtual-monitor 1920x1080 "
    "--virtual-monitor 1280x1024 & m=$!; "
    "while kill -0 \"$1\" 2>/dev/null && kill -0 $m 2>/dev/null; do sleep 0.3; done; "
    "kill $m 2>/dev/null; wait $m";
}  // namespace

std::unique_ptr<HeadlessMutter> HeadlessMutter::start(std::string& error) {
    std::unique_ptr<HeadlessMutter> m(new HeadlessMutter);
    const std::string& folder = m->folder_;
    std::filesystem::create_directory(folder + "/config");
    std::filesystem::create_directory(folder + "/run");
    ::chmod((folder + "/run").c_str(), 0700);
    // The test's environment, without its displays and with the folders.
    std::vector<std::string> env = {"XDG_CONFIG_HOME=" + folder + "/config",
                                    "XDG_RUNTIME_DIR=" + folder + "/run"};
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        const std::string name = var.substr(0, var.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "XDG_CONFIG_HOME" &&
            name != "XDG_RUNTIME_DIR")
            env.push_back(var);
    }
    const std::string busFile = folder + "/bus";
    if (!m->spawn({"/usr/bin/dbus-run-session", "--", "/bin/sh", "-c", kSession, "sh",
                   std::to_string(::getpid()), busFile},
                  env, "mutter.log", error, {}, SIGTERM))
        return nullptr;
    if (!waitUntil([&] { return !fileText(busFile).empty(); })) {
        error = "dbus-run-session gave no bus";
        return nullptr;
    }
    m->bus_ = fileText(busFile);
    m->bus_.pop_back();  // the newline
    const auto wait =
        runCommand("DBUS_SESSION_BUS_ADDRESS='" + m->bus_ +
                   "' gdbus wait --session --timeout 20 org.gnome.Mutter.DisplayConfig");
    if (wait.exitCode != 0) {
        error = "the compositor did not come up; see " + folder + "/mutter.log";
        return nullptr;
    }
    return m;
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

std::string HeadlessMutter::placeSecond(int x, int y, int* exitCode) const {
    const std::string state = call("GetCurrentState", exitCode);
    std::smatch serial;
    if (!std::regex_search(state, serial, std::regex("^\\(uint32 (\\d+),"))) {
        if (exitCode) *exitCode = -1;
        return state;
    }
    return call(
        "ApplyMonitorsConfig " + serial[1].str() +
            " 1 \"[(0, 0, 1.0, uint32 0, true, [('Meta-0', '1920x1080@60.000', @a{sv} {})]), (" +
            std::to_string(x) + ", " + std::to_string(y) +
            ", 1.0, 0, false, [('Meta-1', '1280x1024@60.000', {})])]\" \"{}\"",
        exitCode);
}

ShownOutputs HeadlessMutter::outputs() const {
    const std::string state = call("GetCurrentState");
    ShownOutputs out;
    // The sizes the monitors were made with.
    for (const ShownOutput& o :
         {ShownOutput{"Meta-0", 0, 0, 1920, 1080}, ShownOutput{"Meta-1", 0, 0, 1280, 1024}}) {
        out[o.name] = o;
        out[o.name].active = logicalPosition(state, o.name, out[o.name].x, out[o.name].y);
    }
    return out;
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
