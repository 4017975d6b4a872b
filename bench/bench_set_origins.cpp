// Moving a monitor through our own transaction against running the xrandr
// command for the same move, both on a private two-monitor X server.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "geometry/arrangement.h"
#include "platform/x11/x11_display_services.h"
#include "support/virtual_x_server.h"

namespace {

using seam::testing::VirtualXServer;

VirtualXServer* server() {
    static std::unique_ptr<VirtualXServer> s = [] {
        auto started = VirtualXServer::start();
        if (!started) std::fprintf(stderr, "no X server: %s\n", VirtualXServer::lastError().c_str());
        return started;
    }();
    return s.get();
}

std::uint32_t externalId(seam::Arrangement& a) {
    for (const seam::Disp& d : a.displays())
        if (d.id != a.mainDisplay()) return d.id;
    return 0;
}

// Alternates between two positions so every iteration really moves the CRTC.
void BM_SetOrigins(benchmark::State& state) {
    if (!server() || !server()->arrange()) return state.SkipWithError("no X server");
    auto services = seam::X11DisplayServices::open(server()->name().c_str());
    if (!services) return state.SkipWithError("cannot open display");
    seam::Arrangement arrangement(*services);
    const std::uint32_t external = externalId(arrangement);
    bool right = false;
    for (auto _ : state) {
        right = !right;
        const bool ok = arrangement.setOrigin(external, {right ? 1750.0 : 1710.0, 0});
        if (!ok) return state.SkipWithError("move failed");
    }
}

void BM_XrandrCommand(benchmark::State& state) {
    if (!server() || !server()->arrange()) return state.SkipWithError("no X server");
    const std::string base = "DISPLAY=" + server()->name() + " xrandr --output DUMMY1 --pos ";
    bool right = false;
    for (auto _ : state) {
        right = !right;
        const std::string cmd = base + (right ? "1750x0" : "1710x0");
        if (std::system(cmd.c_str()) != 0) return state.SkipWithError("xrandr failed");
    }
}

BENCHMARK(BM_SetOrigins)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_XrandrCommand)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
