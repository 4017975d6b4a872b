#include "headless_sway.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "support/command.h"

namespace seam::testing {

namespace fs = std::filesystem;

std::unique_ptr<HeadlessSway> HeadlessSway::start(const std::vector<std::string>& more) {
    std::pair<uid_t, gid_t> user{getuid(), getgid()};
    if (user.first == 0) {
        const char* name = std::getenv("SEAMWRIGHT_TEST_USER");
        const passwd* pw = getpwnam(name && *name ? name : "nobody");
        if (!pw) {
            failure() = "no unprivileged user to run sway as";
            return nullptr;
        }
        user = {pw->pw_uid, pw->pw_gid};
    }
    std::unique_ptr<HeadlessSway> sway(new HeadlessSway);
    const std::string& dir = sway->folder_;
    std::ofstream(dir + "/config") << "output HEADLESS-1 mode 1710x1112 position 0 0\n";
    if (chown(dir.c_str(), user.first, user.second) != 0 || chmod(dir.c_str(), 0700) != 0) {
        failure() = "cannot hand the runtime folder to the sway user";
        return nullptr;
    }
    std::vector<std::string> env = {
        "PATH=/usr/bin:/bin",    "XDG_RUNTIME_DIR=" + dir,    "HOME=" + dir,
        "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman"};
    env.insert(env.end(), more.begin(), more.end());
    if (!sway->spawn({"/usr/bin/sway", "-c", dir + "/config"}, env, "sway.log", failure(), user))
        return nullptr;
    if (!waitUntil([&] { return fs::exists(sway->socket()) && !sway->ipcSocket().empty(); }, 10)) {
        failure() = "sway did not come up; see its log in " + dir;
        return nullptr;
    }
    int rc = 0;
    sway->swaymsg("create_output", &rc);
    if (rc != 0 || !sway->arrange()) {
        failure() = "sway did not make the second output";
        return nullptr;
    }
    return sway;
}

std::string HeadlessSway::ipcSocket() const {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder_, ec))
        if (e.path().filename().string().rfind("sway-ipc.", 0) == 0) return e.path().string();
    return {};
}

std::string HeadlessSway::swaymsg(const std::string& args, int* exitCode) const {
    const CommandRun run = runCommand("swaymsg -s '" + ipcSocket() + "' " + args + " 2>&1");
    if (exitCode) *exitCode = run.exitCode;
    return run.out;
}

ShownOutputs HeadlessSway::outputs() const {
    ShownOutputs out;
    const auto json = nlohmann::json::parse(swaymsg("-r -t get_outputs"), nullptr, false);
    if (!json.is_array()) return out;
    for (const auto& o : json) {
        const auto& r = o["rect"];
        const std::string name = o.value("name", "");
        out[name] = {name,
                     r.value("x", 0),
                     r.value("y", 0),
                     r.value("width", 0),
                     r.value("height", 0),
                     o.value("active", false)};
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
