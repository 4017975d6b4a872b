// An engine on the simulated window server with virtual time: the built-in
// panel (id 1, 1710x1112, main) and a monitor (id 2, 1280x960) to its right.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_server.h"
#include "support/log_capture.h"

namespace seam::testing {

inline constexpr std::uint32_t kPanel = 1;
inline constexpr std::uint32_t kMonitor = 2;
inline constexpr Rect kPanelFrame{0, 0, 1710, 1112};
inline constexpr Rect kMonitorFrame{1710, 0, 1280, 960};

class RecordingBar : public EdgeBar {
  public:
    struct Shown {
        Side side;
        std::pair<double, double> span;
        double marker;
        Rect on;
        double seconds;
    };
    void show(Side side, std::pair<double, double> span, double marker, const Rect& on,
              double seconds) override {
        shown.push_back({side, span, marker, on, seconds});
        visible = true;
    }
    void hide() override { visible = false; }

    std::vector<Shown> shown;
    bool visible = false;
};

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.addDisplay({.id = kPanel, .frame = kPanelFrame, .builtin = true});
        server.addDisplay({.id = kMonitor, .frame = kMonitorFrame});
    }

    Engine& engine() {
        if (!engine_) {
            auto b = std::make_unique<RecordingBar>();
            bar = b.get();
            engine_ = std::make_unique<Engine>(arrangement, server, clock, scheduler, std::move(b));
        }
        return *engine_;
    }

    // A fresh engine on the current arrangement, with nothing learnt.
    void resetEngine() { engine_.reset(); }
    // One pointer event dt seconds after the previous one.
    void move(Point p, double dx = 0, double dy = 0, double dt = 0.01, bool dragging = false) {
        scheduler.advance(dt);
        engine().handle(p, dx, dy, dragging);
    }
    // Events from a to b in equal steps, the first one step away from a.
    void stroke(Point a, Point b, int steps, double dt = 0.01) {
        for (int i = 1; i <= steps; ++i)
            move({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps},
                 (b.x - a.x) / steps, (b.y - a.y) / steps, dt);
    }
    // n events at p pushing by (dx, dy) each.
    void pushAt(Point p, double dx, double dy, int n, double dt = 0.01) {
        for (int i = 0; i < n; ++i) move(p, dx, dy, dt);
    }
    void wait(double seconds) { scheduler.advance(seconds); }

    int logged(std::string_view prefix) const {
        int n = 0;
        for (const auto& m : logs.messages()) n += m.rfind(prefix, 0) == 0;
        return n;
    }
    std::vector<std::string> loggedWith(std::string_view prefix) const {
        std::vector<std::string> out;
        for (const auto& m : logs.messages())
            if (m.rfind(prefix, 0) == 0) out.push_back(m);
        return out;
    }
    Rect frame(std::uint32_t id) { return server.find(id)->frame; }

    LogCapture logs;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    SimDisplayServer server;
    Arrangement arrangement{server};
    RecordingBar* bar = nullptr;

  private:
    std::unique_ptr<Engine> engine_;
};

}  // namespace seam::testing
