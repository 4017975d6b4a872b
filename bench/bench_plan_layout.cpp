// Planning cost: distinguishable monitors leave one candidate each; a wall of
// indistinguishable ones makes the exhaustive search score every pairing.
#include <benchmark/benchmark.h>

#include <string>

#include "layouts/layout_plan.h"

namespace {

using namespace seam;

struct Setup {
    SavedLayout layout;
    std::vector<LiveDisplay> live;
};

Setup row(int count, bool distinguishable) {
    Setup s;
    for (int i = 0; i < count; ++i) {
        DisplayIdent ident{.vendor = 19501, .model = 2073};
        if (distinguishable) ident.serialString = "CN0SER" + std::to_string(i);
        const double x = i * 1920.0;
        s.layout.displays.push_back(
            {.ident = ident, .x = x, .y = 0, .width = 1920, .height = 1080, .main = i == 0});
        // Attached slightly off, so the pairings really differ in cost.
        s.live.push_back({.id = static_cast<std::uint32_t>(100 + i),
                          .ident = ident,
                          .name = "monitor",
                          .frame = {x, i * 3.0, 1920, 1080},
                          .isMain = i == 0});
    }
    return s;
}

void planOnto(benchmark::State& state, int count, bool distinguishable) {
    const Setup s = row(count, distinguishable);
    for (auto _ : state) {
        auto plan = planLayout(s.layout, s.live);
        benchmark::DoNotOptimize(plan);
    }
}

void BM_TwoDistinguishable(benchmark::State& state) {
    planOnto(state, 2, true);
}
void BM_TenIndistinguishable(benchmark::State& state) {
    planOnto(state, 10, false);
}

BENCHMARK(BM_TwoDistinguishable);
BENCHMARK(BM_TenIndistinguishable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
