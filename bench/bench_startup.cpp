// From starting the program to ready (the launch line and the layouts line in
// its log), and the memory it holds once ready, on a private X server.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench_program.h"

namespace {

using namespace seam::bench;

void BM_StartToReady(benchmark::State& state) {
    if (!arrange(Screens::small)) return state.SkipWithError("no X server");
    double residentKb = 0;
    for (auto _ : state) {
        Program program;
        if (program.pid() <= 0 || !program.waitReady())
            return state.SkipWithError("the program did not get ready");
        state.SetIterationTime(secondsSince(program.started()));
        residentKb = std::max(residentKb, double(program.residentKb()));
    }
    state.counters["resident_MB"] = residentKb / 1024;
}

BENCHMARK(BM_StartToReady)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
