// Cost of Engine::handle over a recorded-style pointer trace: strokes within
// and across the two displays, small corrections, pauses, drags, pokes over
// the boundary and pushes against outer edges, at mixed device rates. Reports
// the time per event and the heap allocations per event once warmed up.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "engine/engine.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_server.h"

namespace {

std::size_t gAllocations = 0;

}  // namespace

// Every heap allocation of the process goes through these.
void* operator new(std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    ++gAllocations;
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept {
    return operator new(n, t);
}
void* operator new(std::size_t n, std::align_val_t a) {
    ++gAllocations;
    const std::size_t align = static_cast<std::size_t>(a);
    if (void* p =
            std::aligned_alloc(align, (std::max<std::size_t>(n, 1) + align - 1) / align * align))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n, std::align_val_t a) {
    return operator new(n, a);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

namespace {

using namespace seam;

constexpr Rect kPanel{0, 0, 1710, 1112};
constexpr Rect kMonitor{1710, 0, 1280, 960};

struct Event {
    double t;
    Point p;
    double dx, dy;
    bool dragging;
};

class TraceMaker {
  public:
    explicit TraceMaker(std::size_t count) {
        while (events_.size() < count) segment();
    }
    std::vector<Event> take() { return std::move(events_); }

  private:
    double uniform(double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng_);
    }
    bool chance(double p) { return uniform(0, 1) < p; }

    // The server keeps the pointer on a screen; deltas keep what the mouse did.
    Point clampToScreens(Point p) const {
        for (const Rect& r : {kPanel, kMonitor})
            if (r.contains(p)) return p;
        const Rect& r = kPanel.contains(at_) ? kPanel : kMonitor;
        return {std::clamp(p.x, r.minX(), r.maxX() - 1), std::clamp(p.y, r.minY(), r.maxY() - 1)};
    }
    void emit(double dt, double dx, double dy, bool dragging) {
        t_ += dt;
        wanted_ = {wanted_.x + dx, wanted_.y + dy};
        at_ = clampToScreens(wanted_);
        wanted_ = at_;
        events_.push_back({t_, at_, dx, dy, dragging});
    }
    Point anywhere() {
        const Rect& r = chance(0.5) ? kPanel : kMonitor;
        return {uniform(r.minX() + 5, r.maxX() - 5), uniform(r.minY() + 5, r.maxY() - 5)};
    }
    // Minimum-jerk stroke: slow start, fast middle, slow end.
    void stroke(Point to, bool dragging) {
        const double dt = rates_[std::uniform_int_distribution<int>(0, 2)(rng_)];
        const Point from = at_;
        const double dist = std::hypot(to.x - from.x, to.y - from.y);
        const int n = std::max(4, static_cast<int>(std::clamp(dist / 2000, 0.08, 0.6) / dt));
        double prevS = 0;
        for (int i = 1; i <= n; ++i) {
            const double u = double(i) / n;
            const double s = u * u * u * (10 - 15 * u + 6 * u * u);
            emit(dt * uniform(0.9, 1.1), (to.x - from.x) * (s - prevS),
                 (to.y - from.y) * (s - prevS), dragging);
            prevS = s;
        }
    }
    void segment() {
        const double r = uniform(0, 1);
        if (r < 0.45) {
            stroke(anywhere(), false);
            if (chance(0.5)) {  // a small correction along the edge before the click
                const double dy = uniform(-60, 60) / 8;
                for (int i = 0; i < 8; ++i) emit(0.02, 0, dy, false);
            }
        } else if (r < 0.6) {
            emit(uniform(0.45, 1.5), 0, 0, false);  // a pause
        } else if (r < 0.75) {
            // Pushing against an outer edge: the right one of the monitor or the left of the panel.
            const bool right = chance(0.5);
            stroke(right ? Point{2989, uniform(50, 900)} : Point{0, uniform(50, 1050)}, false);
            const int n = std::uniform_int_distribution<int>(10, 40)(rng_);
            for (int i = 0; i < n; ++i)
                emit(0.008, right ? uniform(4, 14) : -uniform(4, 14), 0, false);
        } else if (r < 0.88) {
            // A poke over the shared boundary and straight back.
            stroke({1700, uniform(100, 900)}, false);
            const double depth = uniform(5, 60);
            for (int i = 0; i < 4; ++i) emit(0.008, (depth + 10) / 4, 0, false);
            for (int i = 0; i < 4; ++i) emit(0.008, -(depth + 10) / 4, 0, false);
        } else {
            stroke(anywhere(), true);  // a drag
        }
    }

    std::mt19937_64 rng_{20261207};
    const double rates_[3] = {0.008, 0.004, 0.002};
    std::vector<Event> events_;
    double t_ = 1000;
    Point at_{800, 500};
    Point wanted_{800, 500};
};

const std::vector<Event>& trace() {
    static const std::vector<Event> events = TraceMaker(1'200'000).take();
    return events;
}

void run(benchmark::State& state, bool gestures) {
    const std::vector<Event>& events = trace();
    ManualClock clock;
    ManualScheduler scheduler(clock);
    SimDisplayServer server;
    server.addDisplay({.id = 1, .frame = kPanel, .builtin = true});
    server.addDisplay({.id = 2, .frame = kMonitor});
    // An edge-tap move would leave the rest of the trace off the screens: put them back.
    server.onReconfigure = [&] {
        server.find(1)->frame = kPanel;
        server.find(2)->frame = kMonitor;
    };
    Arrangement arrangement(server);
    Engine engine(arrangement, server, clock, scheduler);
    engine.enabled = gestures;
    engine.autoAlign = gestures;

    double offset = 0;  // keeps time running forward when the trace starts over
    auto pass = [&](auto&& after) {
        for (const Event& e : events) {
            clock.setUptime(e.t + offset);
            if (scheduler.pending()) scheduler.runDue();
            engine.handle(e.p, e.dx, e.dy, e.dragging);
            after();
        }
        offset += events.back().t - events.front().t + 1;
    };
    // Warm-up, counting the gestures the trace sets off: the first taps of a
    // pair and the moves of the second ones.
    double lastAim = -1;
    int aims = 0;
    pass([&] {
        if (engine.aim() && engine.aim()->t != lastAim) {
            lastAim = engine.aim()->t;
            ++aims;
        }
    });
    const double moves = double(server.transactions().size());

    const std::size_t before = gAllocations;
    std::size_t handled = 0;
    for (auto _ : state) {
        pass([] {});
        handled += events.size();
    }
    const double allocations = double(gAllocations - before);
    state.SetItemsProcessed(static_cast<std::int64_t>(handled));
    state.counters["time/event"] = benchmark::Counter(
        double(handled), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs/event"] = allocations / double(handled);
    state.counters["events/pass"] = double(events.size());
    state.counters["aims/pass"] = aims;
    state.counters["moves/pass"] = moves;
}

void BM_HandleTrace_AsShipped(benchmark::State& state) {
    run(state, false);
}
void BM_HandleTrace_GesturesOn(benchmark::State& state) {
    run(state, true);
}

BENCHMARK(BM_HandleTrace_AsShipped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandleTrace_GesturesOn)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
