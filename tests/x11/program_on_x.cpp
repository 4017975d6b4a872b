#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "base/qt/prefs.h"
#include "geometry/arrangement.h"
#include "layouts/layout_file.h"
#include "layouts/layout_plan.h"
#include "layouts/live_display.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "program_on_x.h"
#include "support/command.h"
#include "x11_environment.h"
// After gtest and Qt: Xlib's macros clash with their names.
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>

namespace seam::testing {

Program::Program(const std::function<void(const std::string&)>& prepare,
                 const std::vector<std::string>& environment, const std::string& binary) {
    {
        // Not a first launch: the guide would take the keyboard from what the tests drive.
        QSettingsStore settings(QString::fromStdString(home_.path() + "/config/Seamwright"),
                                "Seamwright");
        settings.set("didShowGuide", true);
        // Update checks go to a closed local port, never to the real host.
        settings.set("updateFeed", std::string("http://127.0.0.1:9/version.json"));
        settings.sync();
    }
    if (prepare) prepare(home_.path() + "/config");
    const std::string bin = SEAM_BINARY_DIR "/" + binary;
    std::vector<std::string> env = {"DISPLAY=" + xserver()->name(),
                                    "XDG_STATE_HOME=" + home_.path() + "/state",
                                    "XDG_CONFIG_HOME=" + home_.path() + "/config",
                                    "HOME=" + home_.path(),
                                    "LANG=C",
                                    "LANGUAGE=",
                                    "QT_QPA_PLATFORM=xcb",
                                    "PATH=/usr/bin:/bin",
                                    "XDG_RUNTIME_DIR=" + home_.path()};
    // Without a bus of its own, a socket that is not there: no bus, and none started.
    env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + home_.path() + "/no-bus");
    for (const std::string& e : environment) {
        const std::string name = e.substr(0, e.find('=') + 1);
        std::erase_if(env, [&](const std::string& v) { return v.starts_with(name); });
        env.push_back(e);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(bin.c_str()), nullptr};
    // The quit signals as a session hands them over, whatever started the tests
    // (a shell's background job ignores SIGINT).
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t quitSignals;
    sigemptyset(&quitSignals);
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&quitSignals, s);
    posix_spawnattr_setsigdefault(&attr, &quitSignals);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
    if (posix_spawn(&pid_, bin.c_str(), nullptr, &attr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attr);
}

Program::~Program() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

std::string Program::logText() const {
    return fileText(home_.path() + "/state/Seamwright/Seamwright.log");
}

bool Program::waitForLog(const std::string& text, int seconds) const {
    return waitUntil([&] { return logText().find(text) != std::string::npos; }, seconds);
}

bool Program::waitForExit(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pid_ <= 0;
}

int Program::logCount(const std::string& text) const {
    const std::string log = logText();
    int n = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

OutputProperties::OutputProperties() : d_(XOpenDisplay(xserver()->name().c_str())) {}

OutputProperties::~OutputProperties() {
    for (auto [output, atom] : made_) XRRDeleteOutputProperty(d_, output, atom);
    XSync(d_, False);
    XCloseDisplay(d_);
}

void OutputProperties::setEdid(unsigned long output, const std::vector<std::uint8_t>& edid) {
    change(output, "EDID", 8, edid.data(), int(edid.size()));
}

void OutputProperties::setConnectorId(unsigned long output, long id) {
    change(output, "CONNECTOR_ID", 32, reinterpret_cast<unsigned char*>(&id), 1);
}

void OutputProperties::remove(unsigned long output, const char* name) {
    const Atom atom = XInternAtom(d_, name, False);
    XRRDeleteOutputProperty(d_, output, atom);
    XSync(d_, False);
    std::erase(made_, std::pair<unsigned long, Atom>{output, atom});
}

void OutputProperties::change(unsigned long output, const char* name, int format,
                              const unsigned char* data, int count) {
    const Atom atom = XInternAtom(d_, name, False);
    XRRChangeOutputProperty(d_, output, atom, XA_INTEGER, format, PropModeReplace, data, count);
    XSync(d_, False);
    if (std::find(made_.begin(), made_.end(), std::pair{output, atom}) == made_.end())
        made_.push_back({output, atom});
}

std::ostream& operator<<(std::ostream& out, const Pos& p) {
    return out << p.x << "," << p.y;
}

User::User() : d_(XOpenDisplay(xserver()->name().c_str())) {}
User::~User() {
    XCloseDisplay(d_);
}

void User::keys(std::initializer_list<KeySym> syms) {
    std::vector<KeyCode> codes;
    for (KeySym s : syms) codes.push_back(XKeysymToKeycode(d_, s));
    for (KeyCode c : codes) XTestFakeKeyEvent(d_, c, True, 0);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) XTestFakeKeyEvent(d_, *it, False, 0);
    XSync(d_, False);
}

void User::click(int x, int y, unsigned button) {
    XTestFakeMotionEvent(d_, -1, x, y, 0);
    XTestFakeButtonEvent(d_, button, True, 0);
    XTestFakeButtonEvent(d_, button, False, 0);
    XSync(d_, False);
}

namespace {
int lastErrorCode = 0;
int recordError(Display*, XErrorEvent* e) {
    lastErrorCode = e->error_code;
    return 0;
}
}  // namespace

bool User::heldByProgram(KeySym key, unsigned mods) {
    const KeyCode code = XKeysymToKeycode(d_, key);
    XSync(d_, False);
    lastErrorCode = 0;
    XErrorHandler previous = XSetErrorHandler(recordError);
    XGrabKey(d_, code, mods, DefaultRootWindow(d_), True, GrabModeAsync, GrabModeAsync);
    XSync(d_, False);
    const bool refused = lastErrorCode == BadAccess;
    if (!refused) XUngrabKey(d_, code, mods, DefaultRootWindow(d_));
    XSync(d_, False);
    XSetErrorHandler(previous);
    return refused;
}

std::vector<User::TopWindow> User::topWindows(bool overrideRedirect) {
    Window root = DefaultRootWindow(d_), parent, *children = nullptr;
    unsigned n = 0;
    std::vector<TopWindow> found;
    XQueryTree(d_, root, &root, &parent, &children, &n);
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(d_, children[i], &a) && a.map_state == IsViewable &&
            bool(a.override_redirect) == overrideRedirect)
            found.push_back({children[i], a.x, a.y, a.width, a.height});
    }
    if (children) XFree(children);
    return found;
}

int User::windows(bool overrideRedirect, int minWidth, int maxWidth, int maxHeight) {
    int found = 0;
    for (const TopWindow& w : topWindows(overrideRedirect))
        found += w.width >= minWidth && w.width <= maxWidth && w.height <= maxHeight;
    return found;
}

int User::titled(const std::string& title) {
    int found = 0;
    for (const TopWindow& w : topWindows(false)) {
        char* name = nullptr;
        found += XFetchName(d_, w.id, &name) && name && title == name;
        if (name) XFree(name);
    }
    return found;
}

bool User::shapeContains(Window w, int x, int y) {
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(d_, w, ShapeBounding, &count, &ordering);
    bool inside = false;
    for (int i = 0; i < count; ++i)
        inside = inside || (x >= rects[i].x && x < rects[i].x + rects[i].width && y >= rects[i].y &&
                            y < rects[i].y + rects[i].height);
    if (rects) XFree(rects);
    return inside;
}

Pos User::pointer() {
    Window r = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(d_, DefaultRootWindow(d_), &r, &child, &rx, &ry, &wx, &wy, &mask);
    return {rx, ry};
}

unsigned long User::rootPixel(int x, int y) {
    XImage* image = XGetImage(d_, DefaultRootWindow(d_), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return pixel;
}

bool User::dialogHasFocus() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d_, &focus, &revert);
    const Window root = DefaultRootWindow(d_);
    if (focus == None || focus == PointerRoot || focus == root) return false;
    // Up to the child of the root that holds the focus window.
    for (;;) {
        Window r = 0, parent = 0, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(d_, focus, &r, &parent, &children, &n)) return false;
        if (children) XFree(children);
        if (parent == root) break;
        focus = parent;
    }
    XWindowAttributes a;
    return XGetWindowAttributes(d_, focus, &a) && a.map_state == IsViewable &&
           !a.override_redirect && a.width >= 100 && a.width <= 1000 && a.height <= 800;
}

bool eventually(const std::function<bool()>& cond, double seconds) {
    return waitUntil(cond, seconds);
}

void storeLayout(const std::string& configHome, const std::string& name,
                 const std::function<void(SavedLayout&)>& change, const HotKeySpec* key) {
    auto services = X11DisplayServices::open(xserver()->name().c_str());
    ASSERT_TRUE(services);
    Arrangement arrangement(*services);
    X11DisplayIdentity identity(*services);
    SavedLayout layout = makeLayout(name, readLiveDisplays(arrangement, identity), nullptr, {});
    ASSERT_EQ(layout.displays.size(), 2u);
    change(layout);
    const auto bytes = encodeLayoutFile({.layouts = {layout}});
    ASSERT_TRUE(bytes);

    QSettingsStore store(QString::fromStdString(configHome) + "/Seamwright", "Seamwright");
    store.set("layouts.v1", *bytes);
    if (key) key->save("layout." + layout.id, store);
    store.sync();
}

void storeLowerLayout(const std::string& configHome, const HotKeySpec& key) {
    storeLayout(
        configHome, "Lower", [](SavedLayout& l) { l.displays[1].y += 200; }, &key);
}

std::string outputLine(const std::string& output) {
    std::istringstream in(xserver()->xrandr("--current"));
    for (std::string l; std::getline(in, l);)
        if (l.rfind(output + " ", 0) == 0) return l;
    return {};
}

std::string primaryOutput() {
    std::istringstream in(xserver()->xrandr("--current"));
    for (std::string l; std::getline(in, l);)
        if (l.find(" connected primary ") != std::string::npos) return l.substr(0, l.find(' '));
    return {};
}

Pos at(const std::string& output) {
    std::istringstream words(outputLine(output));
    for (std::string w; words >> w;) {
        Pos p;
        unsigned width = 0, height = 0;
        if (std::sscanf(w.c_str(), "%ux%u+%d+%d", &width, &height, &p.x, &p.y) == 4) return p;
    }
    return {};
}

}  // namespace seam::testing
