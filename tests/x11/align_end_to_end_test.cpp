// The real program on the virtual desktop, driven only through the X server as
// a user would: hot keys and clicks synthesised with XTEST, the result read
// back with the xrandr command and from the log.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <thread>

#include "support/log_capture.h"
#include "x11_environment.h"
// After gtest: Xlib's macros clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace seam {
namespace {

using testing::VirtualXServer;
using testing::xserver;

// The program as a child process with its own settings and log.
class Program {
  public:
    Program() {
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
    testing::TempDir home_;
    pid_t pid_ = -1;
};

// Polls until cond holds: the program runs on its own clock, and what it does
// shows only through the server and its log.
bool eventually(const std::function<bool()>& cond, double seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return true;
}

int onlyErrorCode = 0;
int recordError(Display*, XErrorEvent* e) {
    onlyErrorCode = e->error_code;
    return 0;
}

// A user at the keyboard and mouse of the virtual server.
class User {
  public:
    User() : d_(XOpenDisplay(xserver()->name().c_str())) {}
    ~User() { XCloseDisplay(d_); }
    void keys(std::initializer_list<KeySym> syms) {
        std::vector<KeyCode> codes;
        for (KeySym s : syms) codes.push_back(XKeysymToKeycode(d_, s));
        for (KeyCode c : codes) XTestFakeKeyEvent(d_, c, True, 0);
        for (auto it = codes.rbegin(); it != codes.rend(); ++it)
            XTestFakeKeyEvent(d_, *it, False, 0);
        XSync(d_, False);
    }
    void click(int x, int y) {
        XTestFakeMotionEvent(d_, -1, x, y, 0);
        XTestFakeButtonEvent(d_, 1, True, 0);
        XTestFakeButtonEvent(d_, 1, False, 0);
        XSync(d_, False);
    }
    // True when another client holds control-alt-super + key: our own grab is refused.
    bool heldByProgram(KeySym key) {
        const KeyCode code = XKeysymToKeycode(d_, key);
        const unsigned mods = ControlMask | Mod1Mask | Mod4Mask;
        XSync(d_, False);
        onlyErrorCode = 0;
        XErrorHandler previous = XSetErrorHandler(recordError);
        XGrabKey(d_, code, mods, DefaultRootWindow(d_), True, GrabModeAsync, GrabModeAsync);
        XSync(d_, False);
        const bool refused = onlyErrorCode == BadAccess;
        if (!refused) XUngrabKey(d_, code, mods, DefaultRootWindow(d_));
        XSync(d_, False);
        XSetErrorHandler(previous);
        return refused;
    }
    // Mapped top-level windows of the given kind and size range.
    int windows(bool overrideRedirect, int minWidth, int maxWidth, int maxHeight) {
        Window root = DefaultRootWindow(d_), parent, *children = nullptr;
        unsigned n = 0;
        int found = 0;
        XQueryTree(d_, root, &root, &parent, &children, &n);
        for (unsigned i = 0; i < n; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d_, children[i], &a) && a.map_state == IsViewable &&
                bool(a.override_redirect) == overrideRedirect && a.width >= minWidth &&
                a.width <= maxWidth && a.height <= maxHeight)
                ++found;
        }
        if (children) XFree(children);
        return found;
    }
    int overlays() { return windows(true, 1280, 1710, 1112); }
    int toasts() { return windows(true, 1, 600, 60); }
    int dialogs() { return windows(false, 100, 1000, 800); }

  private:
    Display* d_;
};

struct Pos {
    int x = -1, y = -1;
    bool operator==(const Pos&) const = default;
};
Pos at(const std::string& output) {
    Pos p;
    xserver()->outputPosition(output, p.x, p.y);
    return p;
}

const std::initializer_list<KeySym> kAlignKeys = {XK_Control_L, XK_Alt_L, XK_Super_L, XK_a};
const std::initializer_list<KeySym> kUndoKeys = {XK_Control_L, XK_Alt_L, XK_Super_L, XK_z};

TEST(AlignEndToEnd, TwoClicksConfirmAndUndo) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;
    ASSERT_TRUE(program.running());
    User user;
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_a) && user.heldByProgram(XK_z); }))
        << program.logText();
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.click(300, 2);  // near the top edge of the built-in panel, x=300
    ASSERT_TRUE(program.waitForLog("align pick1")) << program.logText();
    user.click(1710 + 900, 500);  // on the external, x=900 of its own
    ASSERT_TRUE(program.waitForLog("align pick2")) << program.logText();
    // The overlays close, then the question opens.
    ASSERT_TRUE(eventually([&] { return user.overlays() == 0 && user.dialogs() == 1; }))
        << program.logText();
    user.keys({XK_Return});
    ASSERT_TRUE(eventually([&] {
        return at("DUMMY1") != at("DUMMY0") && !(at("DUMMY0") == Pos{0, 0});
    })) << program.logText();
    // The external now stands above the panel with its x=900 over the panel's x=300:
    // in root coordinates the external's bottom row is just above the panel's top.
    const Pos panel = at("DUMMY0"), external = at("DUMMY1");
    EXPECT_EQ(external.x + 900, panel.x + 300) << program.logText();
    EXPECT_EQ(external.y + 960, panel.y);
    EXPECT_EQ(xserver()->primaryOutput(), "DUMMY0");

    ASSERT_TRUE(program.waitForLog("after:")) << program.logText();  // the move has settled
    user.keys(kUndoKeys);
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 0}); })) << program.logText();
    EXPECT_EQ(at("DUMMY0"), (Pos{0, 0}));

    const std::string log = program.logText();
    if (std::getenv("SEAM_SHOW_LOG")) std::cout << log;
    const std::string panelId = std::to_string(testing::outputId("DUMMY0"));
    const std::string externalId = std::to_string(testing::outputId("DUMMY1"));
    for (const std::string& line :
         {std::string("align mode start"), "align pick1 id=" + panelId + " side=top pos=300",
          "align pick2 id=" + externalId + " side=bottom pos=2610",
          "connect side=top pos=300 move id=" + externalId + " (1710, 0) -> (-600, -960) ok=true",
          "undo id=" + externalId + "->(1710,0)"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_LT(log.find("align pick1"), log.find("align pick2"));
    EXPECT_LT(log.find("align pick2"), log.find("connect side=top"));
    EXPECT_LT(log.find("connect side=top"), log.find("undo id="));
    EXPECT_EQ(log.find("align confirm cancelled"), std::string::npos) << log;
}

TEST(AlignEndToEnd, EscapeCancelsAndOneMonitorShowsWhy) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;
    User user;
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_a); })) << program.logText();
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.keys({XK_Escape});
    EXPECT_TRUE(program.waitForLog("align mode cancelled (esc)")) << program.logText();
    EXPECT_TRUE(eventually([&] { return user.overlays() == 0; }));
    EXPECT_EQ(user.dialogs(), 0);  // no question
    EXPECT_EQ(at("DUMMY1").x, 1710);

    ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
    user.keys(kAlignKeys);
    EXPECT_TRUE(eventually([&] { return user.toasts() == 1; })) << program.logText();
    EXPECT_EQ(user.overlays(), 0);
    const std::string log = program.logText();
    EXPECT_EQ(log.find("align mode start"), log.rfind("align mode start")) << log;
    ASSERT_TRUE(xserver()->arrange());
}

}  // namespace
}  // namespace seam
