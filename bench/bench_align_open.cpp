// From the align hot key to both overlays on screen and painted (the dimmed
// picture and the title), watched from
// outside the real program on a private X server: on the standard laptop and
// monitor and on two 3840x2160 monitors, unscaled and at twice the size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "bench_program.h"
// After Qt: Xlib's macros clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace seam::bench;

constexpr unsigned long kDesk = 0x4080c0;  // the root's colour while we watch

struct Watcher {
    Display* d = XOpenDisplay(server()->name().c_str());
    ~Watcher() {
        if (d) XCloseDisplay(d);
    }
    unsigned long pixel(int x, int y) {
        XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0;
        const unsigned long p = XGetPixel(image, 0, 0) & 0xffffff;
        XDestroyImage(image);
        return p;
    }
    // True when a row of the root holds a white pixel: a line of text.
    bool rowHasText(int x, int width, int y) {
        XImage* image =
            XGetImage(d, DefaultRootWindow(d), x, y, unsigned(width), 1, AllPlanes, ZPixmap);
        if (!image) return false;
        bool found = false;
        for (int i = 0; i < width && !found; ++i)
            found = (XGetPixel(image, i, 0) & 0xffffff) == 0xffffff;
        XDestroyImage(image);
        return found;
    }
    void keys(std::initializer_list<KeySym> syms) {
        std::vector<KeyCode> codes;
        for (KeySym s : syms) codes.push_back(XKeysymToKeycode(d, s));
        for (KeyCode c : codes) XTestFakeKeyEvent(d, c, True, 0);
        for (auto it = codes.rbegin(); it != codes.rend(); ++it)
            XTestFakeKeyEvent(d, *it, False, 0);
        XSync(d, False);
    }
    // The program holds the align key once our own grab of it is refused.
    bool alignKeyHeld() {
        static int error = 0;
        error = 0;
        XSync(d, False);
        auto previous = XSetErrorHandler([](Display*, XErrorEvent* e) {
            error = e->error_code;
            return 0;
        });
        const KeyCode a = XKeysymToKeycode(d, XK_a);
        const unsigned mods = ControlMask | Mod1Mask | Mod4Mask;
        XGrabKey(d, a, mods, DefaultRootWindow(d), True, GrabModeAsync, GrabModeAsync);
        XSync(d, False);
        const bool held = error == BadAccess;
        if (!held) XUngrabKey(d, a, mods, DefaultRootWindow(d));
        XSync(d, False);
        XSetErrorHandler(previous);
        return held;
    }
    void paintDesk() {
        XSetWindowBackground(d, DefaultRootWindow(d), kDesk);
        XClearWindow(d, DefaultRootWindow(d));
        XSync(d, False);
    }
};

// The desk dimmed by the overlay's 38 % black, within rounding.
bool dimmed(unsigned long p) {
    for (int shift : {0, 8, 16}) {
        const long want = std::lround(((kDesk >> shift) & 0xff) * 0.62);
        if (std::labs(long((p >> shift) & 0xff) - want) > 2) return false;
    }
    return true;
}

template <class Cond>
bool waitFor(Cond cond, double seconds = 5) {
    const auto start = Clock::now();
    while (secondsSince(start) < seconds) {
        if (cond()) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

void BM_AlignOverlaysPainted(benchmark::State& state, Screens screens, const char* scaling,
                             int scale) {
    if (!arrange(screens)) return state.SkipWithError("no X server or no such screens");
    const int w0 = screens == Screens::large ? 3840 : 1710;
    const int h0 = screens == Screens::large ? 2160 : 1112;
    const int w1 = screens == Screens::large ? 3840 : 1280;
    const int h1 = screens == Screens::large ? 2160 : 960;
    // A quarter into each monitor: away from the texts in the middle and the edges.
    const int points[2][2] = {{w0 / 4, h0 / 4}, {w0 + w1 / 4, h1 / 4}};
    Watcher user;
    user.paintDesk();
    Program program(*scaling ? std::vector<std::string>{scaling} : std::vector<std::string>{});
    if (!program.waitReady() || !waitFor([&] { return user.alignKeyHeld(); }, 20))
        return state.SkipWithError("the program did not start");
    // The middle of the title's line, in the monitor's pixels.
    const auto titleRow = [&](int h) { return (h / scale / 2 - 44 + 12) * scale; };
    const auto painted = [&] {
        return dimmed(user.pixel(points[0][0], points[0][1])) &&
               dimmed(user.pixel(points[1][0], points[1][1])) &&
               user.rowHasText(0, w0, titleRow(h0)) && user.rowHasText(w0, w1, titleRow(h1));
    };
    const auto gone = [&] {
        return user.pixel(points[0][0], points[0][1]) == kDesk &&
               user.pixel(points[1][0], points[1][1]) == kDesk;
    };
    double worst = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        user.keys({XK_Control_L, XK_Alt_L, XK_Super_L, XK_a});
        if (!waitFor(painted)) return state.SkipWithError("the overlays did not appear");
        const double took = secondsSince(start);
        state.SetIterationTime(took);
        worst = std::max(worst, took);
        user.keys({XK_Escape});
        if (!waitFor(gone)) return state.SkipWithError("the overlays did not close");
    }
    state.counters["worst_ms"] = worst * 1000;
    arrange(Screens::small);
}

BENCHMARK_CAPTURE(BM_AlignOverlaysPainted, small, Screens::small, "", 1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_AlignOverlaysPainted, two4k, Screens::large, "", 1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_AlignOverlaysPainted, two4kAt2, Screens::large, "QT_SCALE_FACTOR=2", 2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
