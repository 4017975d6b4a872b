// The built program's first launch shows the guide once; later launches do not.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "program_on_x.h"
#include "support/log_capture.h"
#include "x11_environment.h"
// After gtest: Xlib's macros clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace seam {
namespace {

using testing::xserver;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

using testing::eventually;

// Mapped top-level windows with this title.
int windowsTitled(const std::string& title) {
    Display* d = XOpenDisplay(xserver()->name().c_str());
    if (!d) return -1;
    Window root = DefaultRootWindow(d), parent, *children = nullptr;
    unsigned n = 0;
    int found = 0;
    XQueryTree(d, root, &root, &parent, &children, &n);
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        XTextProperty name;
        if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
        if (XGetWMName(d, children[i], &name) && name.value) {
            if (title == reinterpret_cast<const char*>(name.value)) ++found;
            XFree(name.value);
        }
    }
    if (children) XFree(children);
    XCloseDisplay(d);
    return found;
}

// One run of the tray program with the given configuration folder.
class Launch {
  public:
    Launch(const std::string& home) : home_(home) {
        const std::string bin = SEAM_BINARY_DIR "/seamwright";
        std::vector<std::string> env = {"DISPLAY=" + xserver()->name(),
                                        "XDG_STATE_HOME=" + home + "/state",
                                        "XDG_CONFIG_HOME=" + home + "/config",
                                        "HOME=" + home,
                                        "LANG=C",
                                        "QT_QPA_PLATFORM=xcb",
                                        "XDG_RUNTIME_DIR=" + home};
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(bin.c_str()), nullptr};
        if (posix_spawn(&pid_, bin.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
    }
    ~Launch() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    std::string log() const { return readFile(home_ + "/state/Seamwright/Seamwright.log"); }
    std::string settings() const { return readFile(home_ + "/config/Seamwright/Seamwright.json"); }

  private:
    std::string home_;
    pid_t pid_ = -1;
};

TEST(FirstRun, TheGuideShowsOnce) {
    ASSERT_NE(xserver(), nullptr);
    ASSERT_TRUE(xserver()->arrange());
    testing::TempDir home;
    const std::string title = "How to Use Seamwright";
    {
        Launch first(home.path());
        ASSERT_TRUE(eventually([&] { return windowsTitled(title) == 1; })) << first.log();
        ASSERT_TRUE(eventually([&] {
            return first.settings().find("\"didShowGuide\": true") != std::string::npos;
        })) << first.settings();
    }
    EXPECT_TRUE(eventually([&] { return windowsTitled(title) == 0; }));
    {
        Launch second(home.path());
        ASSERT_TRUE(eventually([&] {
            return second.log().find("launch Seamwright") !=
                   second.log().rfind("launch Seamwright");
        })) << second.log();
        // Well past the 0.6 s the first launch waited: still no guide.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        EXPECT_EQ(windowsTitled(title), 0);
    }
}

}  // namespace
}  // namespace seam
