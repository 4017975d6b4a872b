// The pointer engine: turns pointer motion into crossings, excursions and
// pushes; learns small misalignments from the user's corrections; runs the
// edge-tap gesture; makes every display move with pointer warp, cooldown and
// one-level undo. Main thread only.
//
// Wiring on X11, for example:
//   Engine engine(arrangement, pointer, clock, scheduler,
//                 std::make_unique<EdgeBarWindow>(arrangement, scheduler));
//   pointer.onMotion = [&](Point p, double dx, double dy, bool drag) {
//       engine.handle(p, dx, dy, drag);
//   };
//   pointer.onLeftPress = [&](Point p) { engine.click(p); };
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/config.h"
#include "engine/edge_bar.h"
#include "engine/records.h"
#include "geometry/arrangement.h"
#include "platform/clock.h"
#include "platform/pointer.h"

namespace seam {

// Is the mouse pushing against an edge of r on which p sits? The stronger push
// wins in a corner; on a tie the earlier of left, right, top, bottom.
std::optional<PushHit> blockedPush(const Rect& r, Point p, double dx, double dy);

// What undo did: there was nothing to undo, it was undone, or the server refused
// it (the step is kept, so it can be tried again).
enum class UndoOutcome { nothing, undone, refused };

class Engine {
  public:
    // Reads the arrangement at once. Without a bar nothing is drawn.
    Engine(Arrangement& arrangement, PointerServices& pointer, const Clock& clock,
           Scheduler& scheduler, std::unique_ptr<EdgeBar> bar = nullptr);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Edge-tap gestures (boundary and push taps).
    bool enabled = true;
    // Automatic alignment from crossings.
    bool autoAlign = true;
    // After an edge-tap or connect move, once settled: the side and where the pointer
    // went. A move the server refused neither moves the pointer nor calls this.
    std::function<void(Side, Point)> onMoved;
    // Instead of onMoved when the server refused the move, once settled: the pointer location.
    std::function<void(Point)> onRefused;
    // After an automatic alignment step, once settled: step, horizontal, pointer
    // location. Not called for a refused step.
    std::function<void(double, bool, Point)> onAligned;

    void refresh();
    // The screen configuration changed: the cache is read again once the
    // server has settled.
    void screensChanged();
    static constexpr double screenChangeDelay = 0.3;
    // p in global display space; dx, dy raw mouse deltas that keep their value at an edge.
    void handle(Point p, double dx, double dy, bool dragging);
    // Every mouse-down anywhere.
    void click(Point p);
    // Places oid against edge side of rid so that aPos on rid's edge meets bPos on oid's.
    void connect(std::uint32_t rid, Side side, double aPos, std::uint32_t oid, double bPos,
                 double minOverlap = 40);
    bool applyLayout(const std::vector<Move>& moves, std::string_view label);
    UndoOutcome undo();

    long long events() const { return events_; }
    void resetEvents() { events_ = 0; }
    const std::vector<Disp>& cache() const { return cache_; }
    EdgeBar& bar() { return *bar_; }
    const std::vector<Move>& lastMoves() const { return lastMoves_; }

    // What the engine has observed, for diagnostics and tests.
    const Trail& trail() const { return trail_; }
    const std::optional<Crossing>& crossing() const { return crossing_; }
    const std::optional<Excursion>& excursion() const { return excursion_; }
    const std::optional<PushSession>& push() const { return push_; }
    const std::optional<Aim>& aim() const { return aim_; }
    const std::vector<double>& shifts() const { return shifts_; }
    bool armed() const { return armed_; }
    double cooldownUntil() const { return cooldownUntil_; }

  private:
    const Disp* cached(std::uint32_t id) const;
    void reload();
    void forget();
    void beginMove();
    void later(double seconds, std::function<void()> fn);
    void trackExcursion(const Disp& c, Point p, double now);
    void trackPush(const Disp& c, Point p, double dx, double dy, double now);
    void tap(Side side, double pos, const Disp& r, double accum, double t, double window);
    void fire(Side side, double pos, const Disp& r);
    void apply(const Disp& r, const Disp& o, Point n, Side side, double pos,
               std::string_view label);
    void applyAlign(double step, bool horizontal, int tries);
    // The end of the stroke that crossed, as a trail index; nothing when the trail has no motion.
    std::optional<int> strokeEnd();

    Arrangement& arrangement_;
    PointerServices& pointer_;
    const Clock& clock_;
    Scheduler& scheduler_;
    std::unique_ptr<EdgeBar> bar_;
    // Delayed steps check this so they never outlive the engine.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    std::vector<Disp> cache_;
    long long events_ = 0;
    std::optional<PushSession> push_;
    std::optional<Aim> aim_;
    double cooldownUntil_ = 0;
    bool armed_ = true;
    double lastEventT_ = 0;
    Trail trail_;
    std::optional<Crossing> crossing_;
    std::vector<double> shifts_;
    std::optional<Excursion> excursion_;
    std::uint32_t lastSid_ = 0;
    Point lastP_;
    std::vector<Move> lastMoves_;
    std::vector<double> speeds_;  // scratch of click, kept to avoid reallocating
    std::vector<double> smooth_;
};

}  // namespace seam
