// From a display change to the decision taken once it has settled, without
// the settle itself: the probe of the monitors (state, identities) and the
// choice among saved layouts, on a private X server with two monitors that
// each have an EDID, and a store of a dozen layouts.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench_program.h"
#include "geometry/arrangement.h"
#include "layouts/layout_plan.h"
#include "layouts/live_display.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "suggest/suggestion_decision.h"
#include "support/edid_builder.h"
// After Qt: Xlib's macros clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {

using namespace seam::bench;

RROutput outputNamed(Display* d, const char* name) {
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
    RROutput found = 0;
    for (int i = 0; res && i < res->noutput && !found; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(d, res, res->outputs[i]);
        if (info && std::string(info->name, info->nameLen) == name) found = res->outputs[i];
        if (info) XRRFreeOutputInfo(info);
    }
    if (res) XRRFreeScreenResources(res);
    return found;
}

void setEdid(Display* d, const char* output, const std::vector<std::uint8_t>& edid) {
    XRRChangeOutputProperty(d, outputNamed(d, output), XInternAtom(d, "EDID", False), XA_INTEGER, 8,
                            PropModeReplace, edid.data(), int(edid.size()));
    XSync(d, False);
}

void BM_ChangeToDecision(benchmark::State& state) {
    if (!arrange(Screens::small)) return state.SkipWithError("no X server");
    Display* d = XOpenDisplay(server()->name().c_str());
    setEdid(d, "DUMMY0",
            seam::testing::buildEdid({.pnp = "APP", .product = 41234, .serial = 12345678}));
    setEdid(d, "DUMMY1",
            seam::testing::buildEdid({.pnp = "SAM", .product = 2073, .serial = 87654321}));
    auto services = seam::X11DisplayServices::open(server()->name().c_str());
    if (!services) return state.SkipWithError("cannot open display");
    seam::Arrangement arrangement(*services);
    seam::X11DisplayIdentity identity(*services);
    auto live = seam::readLiveDisplays(arrangement, identity);
    if (live.size() != 2) return state.SkipWithError("not two monitors");
    // Layouts of other monitors, and one of these with the external above.
    std::vector<seam::SavedLayout> layouts;
    for (int i = 0; i < 11; ++i) {
        auto others = live;
        for (auto& l : others) l.ident.serialNumber = 1000 + std::uint32_t(i);
        layouts.push_back(seam::makeLayout("Other " + std::to_string(i), others, nullptr,
                                           seam::Date{800'000'000.0 + i}));
    }
    seam::SavedLayout desk = seam::makeLayout("Desk", live, nullptr, seam::Date{800'000'100});
    for (seam::SavedDisplay& s : desk.displays)
        if (!s.main) s.y = -s.height;
    layouts.push_back(desk);

    const std::string base = "DISPLAY=" + server()->name() + " xrandr --output DUMMY1 --pos ";
    bool down = false;
    int offers = 0;
    for (auto _ : state) {
        down = !down;  // a real change each time, so nothing read before still holds
        if (std::system((base + (down ? "1710x100" : "1710x0")).c_str()) != 0)
            return state.SkipWithError("xrandr failed");
        const auto start = Clock::now();
        live = seam::readLiveDisplays(arrangement, identity);
        const auto decision = seam::decideSuggestion(layouts, live);
        state.SetIterationTime(secondsSince(start));
        offers += std::holds_alternative<seam::Offer>(decision);
    }
    if (offers != int(state.iterations())) state.SkipWithError("the layout was not offered");
    arrange(Screens::small);
    XCloseDisplay(d);
}

BENCHMARK(BM_ChangeToDecision)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
