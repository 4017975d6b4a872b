#include "headless_kwin.h"

#include <filesystem>
#include <regex>
#include <sstream>

#include "support/command.h"

namespace seam::testing {

namespace fs = std::filesystem;

std::unique_ptr<HeadlessKwin> HeadlessKwin::start(const std::string& bus) {
    std::unique_ptr<HeadlessKwin> kwin(new HeadlessKwin);
    kwin->bus_ = bus;
    if (bus.empty()) {
        kwin->ownBus_ = std::make_unique<SessionBus>();
        kwin->bus_ = kwin->ownBus_->address();
    }
    const std::string& dir = kwin->folder_;
    std::error_code ec;
    // A copy carries no file capability.
    fs::copy_file("/usr/bin/kwin_wayland", dir + "/kwin_wayland", ec);
    if (ec) {
        failure() = "cannot copy kwin_wayland: " + ec.message();
        return nullptr;
    }
    std::vector<std::string> argv = {dir + "/kwin_wayland",
                                     "--virtual",
                                     "--output-count",
                                     "2",
                                     "--width",
                                     "1920",
                                     "--height",
                                     "1080",
                                     "--socket",
                                     "wayland-kwin"};
    const std::vector<std::string> env = {"PATH=/usr/bin:/bin", "XDG_RUNTIME_DIR=" + dir,
                                          "HOME=" + dir, "DBUS_SESSION_BUS_ADDRESS=" + kwin->bus_,
                                          "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1"};
    if (!kwin->spawn(argv, env, "kwin.log", failure())) return nullptr;
    if (!waitUntil([&] { return kwin->outputs().size() == 2; }, 15)) {
        failure() = "KWin did not come up with two outputs; see its log in " + dir;
        return nullptr;
    }
    return kwin;
}

bool HeadlessKwin::setScale(const std::string& output, double scale) const {
    std::ostringstream value;
    value << scale;
    return runCommand(
               "DBUS_SESSION_BUS_ADDRESS='" + bus_ + "' XDG_RUNTIME_DIR='" + runtimeDir() +
               "' WAYLAND_DISPLAY=wayland-kwin QT_QPA_PLATFORM=wayland kscreen-doctor output." +
               output + ".scale." + value.str() + " 2>&1")
               .exitCode == 0;
}

ShownOutputs HeadlessKwin::outputs() const {
    const CommandRun run = runCommand("XDG_RUNTIME_DIR='" + runtimeDir() +
                                      "' WAYLAND_DISPLAY=wayland-kwin wayland-info 2>/dev/null");
    std::vector<ShownOutput> found;
    static const std::regex name(R"(^\s*name: '([^']*)')");
    static const std::regex place(R"(^\s*logical_x: (-?\d+), logical_y: (-?\d+))");
    static const std::regex size(R"(^\s*logical_width: (\d+), logical_height: (\d+))");
    bool inXdg = false;
    std::istringstream in(run.out);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (l.find("xdg_output_v1") != std::string::npos) {
            inXdg = true;
            found.push_back({});
        } else if (inXdg && std::regex_search(l, m, name)) {
            found.back().name = m[1];
        } else if (inXdg && std::regex_search(l, m, place)) {
            found.back().x = std::stoi(m[1]);
            found.back().y = std::stoi(m[2]);
        } else if (inXdg && std::regex_search(l, m, size)) {
            found.back().width = std::stoi(m[1]);
            found.back().height = std::stoi(m[2]);
            inXdg = false;
        }
    }
    ShownOutputs out;
    for (const ShownOutput& o : found) out[o.name] = o;
    return out;
}

}  // namespace seam::testing
