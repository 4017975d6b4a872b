// One arrangement move through our own transaction against the xrandr command
// for the same kind of move, taken in turns in one run so both see the same
// load: xrandr moves the external monitor, the program takes in the change as
// it does on the server's event, then moves it back.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench_program.h"
#include "geometry/arrangement.h"
#include "platform/x11/x11_display_services.h"

namespace {

using namespace seam::bench;

std::uint32_t externalId(seam::Arrangement& a) {
    for (const seam::Disp& d : a.displays())
        if (d.id != a.mainDisplay()) return d.id;
    return 0;
}

// from and to: the external monitor's two positions, as xrandr writes them.
void BM_MoveAgainstXrandr(benchmark::State& state, seam::Point from, seam::Point to) {
    if (!arrange(Screens::small)) return state.SkipWithError("no X server");
    auto services = seam::X11DisplayServices::open(server()->name().c_str());
    if (!services) return state.SkipWithError("cannot open display");
    seam::Arrangement arrangement(*services);
    const std::uint32_t external = externalId(arrangement);
    const std::string xrandr = "DISPLAY=" + server()->name() + " xrandr --output DUMMY1 --pos " +
                               std::to_string(int(to.x)) + "x" + std::to_string(int(to.y));
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (std::system(xrandr.c_str()) != 0) return state.SkipWithError("xrandr failed");
        theirs += secondsSince(start);
        services->activeDisplays();  // what the program reads on the change event
        start = Clock::now();
        if (!arrangement.setOrigin(external, from)) return state.SkipWithError("move failed");
        const double took = secondsSince(start);
        ours += took;
        state.SetIterationTime(took);
    }
    const double n = double(state.iterations());
    state.counters["xrandr_us"] = theirs / n * 1e6;
    state.counters["ratio"] = theirs / ours;
    arrange(Screens::small);
}

// Along the panel's edge, as align mode moves it: the screen keeps its size.
BENCHMARK_CAPTURE(BM_MoveAgainstXrandr, slide, seam::Point{1710, 0}, seam::Point{1710, 100})
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(300);
// Apart from the panel: the screen grows and shrinks with every move, work
// the server does alike for both.
BENCHMARK_CAPTURE(BM_MoveAgainstXrandr, widen, seam::Point{1710, 0}, seam::Point{1750, 0})
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
