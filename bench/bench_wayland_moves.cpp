// One arrangement move through our own backend against each Wayland desktop's
// own tool for the same move, taken in turns in one run so both see the same
// load: the tool moves the second output, the program takes in the change as it
// does on the compositor's event, then moves it back. A desktop whose
// compositor is missing is skipped with the reason.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>

#include "platform/display_services.h"
#include "support/command.h"

#ifdef SEAM_HAVE_WLROOTS
#include "platform/wlroots/wlroots_platform.h"
#include "wlroots/headless_sway.h"
#endif
#ifdef SEAM_HAVE_KWIN
#include "kwin/headless_kwin.h"
#include "platform/kwin/kwin_platform.h"
#endif
#ifdef SEAM_HAVE_GNOME
#include <QDBusConnection>

#include "gnome/headless_mutter.h"
#include "platform/gnome/qt/open_gnome.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

void ensureApplication() {
    static int argc = 1;
    static char name[] = "bench_wayland_moves";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

std::uint32_t otherThanMain(seam::DisplayServices& services) {
    for (const seam::Disp& d : services.activeDisplays())
        if (d.id != services.mainDisplay()) return d.id;
    return 0;
}

// Their move (a command line), then ours back to `from` after the program has
// taken in the change; only the two moves are timed. prepare, when given, runs
// untimed before their move and may write its command line.
struct Turns {
    std::function<bool()> prepare;
    std::string command;
    std::function<void()> takeIn;
    seam::DisplayServices* services = nullptr;
    std::uint32_t id = 0;
    seam::Point from;
    const char* tool = "";
};

void alternate(benchmark::State& state, const Turns& t) {
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        if (t.prepare && !t.prepare()) return state.SkipWithError("the state could not be read");
        auto start = Clock::now();
        const int rc = std::system(t.command.c_str());
        if (rc != 0)
            return state.SkipWithError(
                (std::string(t.tool) + " failed, exit status " + std::to_string(rc)).c_str());
        theirs += secondsSince(start);
        t.takeIn();
        start = Clock::now();
        if (!t.services->configure({{t.id, int(t.from.x), int(t.from.y)}}))
            return state.SkipWithError("our move failed");
        const double took = secondsSince(start);
        ours += took;
        state.SetIterationTime(took);
    }
    const double n = double(state.iterations());
    state.counters[std::string(t.tool) + "_us"] = theirs / n * 1e6;
    state.counters["ratio"] = theirs / ours;
}

#ifdef SEAM_HAVE_WLROOTS
void BM_MoveAgainstWlrRandr(benchmark::State& state) {
    auto sway = seam::testing::HeadlessSway::start();
    if (!sway)
        return state.SkipWithError(
            ("no sway: " + seam::testing::HeadlessSway::lastError()).c_str());
    auto parts = seam::openWlroots(sway->socket().c_str());
    if (!parts) return state.SkipWithError("cannot open the wlroots backend");
    Turns t{.services = parts->services.get(), .from = {1710, 0}, .tool = "wlr_randr"};
    t.id = otherThanMain(*t.services);
    // This sway reports its outputs disabled while showing them at modes of
    // no mode object, so the tool is told every output's mode and place.
    t.command = "WAYLAND_DISPLAY=" + sway->socket() +
                " wlr-randr --output HEADLESS-1 --on --custom-mode 1710x1112 --pos 0,0"
                " --output HEADLESS-2 --on --custom-mode 1280x960 --pos 1710,100";
    t.takeIn = [&] { parts->client->roundtrip(); };
    alternate(state, t);
}
BENCHMARK(BM_MoveAgainstWlrRandr)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(100);
#endif

#ifdef SEAM_HAVE_GNOME
void BM_MoveAgainstGdbusApply(benchmark::State& state) {
    std::string why;
    auto mutter = seam::testing::HeadlessMutter::start(why);
    if (!mutter) return state.SkipWithError(("no mutter: " + why).c_str());
    ensureApplication();
    const auto bus = QDBusConnection::connectToBus(mutter->busAddress().c_str(), "bench-mutter");
    auto backend = seam::openGnome(seam::DrmConnectors::kDefaultRoot, bus);
    if (!backend) return state.SkipWithError("cannot open the GNOME backend");
    Turns t{.services = backend->services.get(), .from = {1920, 0}, .tool = "gdbus"};
    t.id = otherThanMain(*t.services);
    // The call names the serial of the state it replaces; looking it up is
    // left out of the tool's time.
    t.prepare = [&] {
        std::smatch serial;
        const std::string current = mutter->call("GetCurrentState");
        if (!std::regex_search(current, serial, std::regex("^\\(uint32 (\\d+),"))) return false;
        t.command =
            "gdbus call --address '" + mutter->busAddress() +
            "' --dest org.gnome.Mutter.DisplayConfig --object-path "
            "/org/gnome/Mutter/DisplayConfig --method "
            "org.gnome.Mutter.DisplayConfig.ApplyMonitorsConfig " +
            serial[1].str() +
            " 2 \"[(0, 0, 1.0, uint32 0, true, [('Meta-0', '1920x1080@60.000', @a{sv} {})]),"
            " (1920, 100, 1.0, 0, false, [('Meta-1', '1280x1024@60.000', {})])]\" \"{}\""
            " >/dev/null";
        return true;
    };
    t.takeIn = [] { QCoreApplication::processEvents(); };
    alternate(state, t);
}
BENCHMARK(BM_MoveAgainstGdbusApply)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(100);
#endif

#ifdef SEAM_HAVE_KWIN
// The second output stands lower than the first, as the compositor shows it.
bool moved(const seam::testing::HeadlessKwin& kwin) {
    int first = 0, second = 0;
    for (const auto& [name, o] : kwin.outputs()) (name == "Virtual-0" ? first : second) = o.y;
    return second - first == 100;
}

void BM_MoveAgainstKscreenDoctor(benchmark::State& state) {
    auto kwin = seam::testing::HeadlessKwin::start();
    if (!kwin)
        return state.SkipWithError(
            ("no KWin: " + seam::testing::HeadlessKwin::lastError()).c_str());
    if (seam::testing::runCommand("command -v kscreen-doctor").exitCode != 0)
        return state.SkipWithError("kscreen-doctor is not installed");
    auto parts = seam::openKwin(kwin->socket().c_str());
    if (!parts) return state.SkipWithError("cannot open the KWin backend");
    Turns t{.services = parts->services.get(), .from = {1920, 0}, .tool = "kscreen_doctor"};
    t.id = otherThanMain(*t.services);
    const std::string tool = "WAYLAND_DISPLAY=" + kwin->socket() +
                             " KSCREEN_BACKEND_INPROCESS=1"
                             " QT_QPA_PLATFORM=wayland kscreen-doctor ";
    t.command = tool + "output.Virtual-1.position.1920,100 >/dev/null 2>&1";
    // The tool can crash setting a position (it did with its backend named in
    // KSCREEN_BACKEND). A move starts with reading every output, so the
    // listing alone, a floor of what a move costs it, stands in then.
    if (std::system(t.command.c_str()) != 0 || !moved(*kwin)) {
        state.SetLabel("kscreen-doctor cannot move an output here; its listing stands in");
        t.command = tool + "--outputs >/dev/null 2>&1";
        t.from = {1920, 100};
        t.prepare = [&] { return t.services->configure({{t.id, 1920, 0}}); };
    }
    t.takeIn = [&] { parts->client->roundtrip(); };
    alternate(state, t);
}
BENCHMARK(BM_MoveAgainstKscreenDoctor)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(100);
#endif

}  // namespace

BENCHMARK_MAIN();
