// Align mode: two clicks, one on each screen, name the points that should meet.
// The logic lives here; the overlay windows are behind OverlayFactory so the
// mode runs the same against real windows and in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "geometry/arrangement.h"
#include "platform/clock.h"
#include "platform/pointer.h"

namespace seam {

// What one overlay shows; coordinates are the view's own (top-left origin).
struct OverlayContent {
    std::string title;
    std::string sub;
    std::optional<Point> marker;
    std::optional<std::pair<Side, double>> edge;
    bool operator==(const OverlayContent&) const = default;
};

// One full-screen overlay window.
class OverlaySurface {
  public:
    virtual ~OverlaySurface() = default;
    virtual void redraw(const OverlayContent& content) = 0;
    // Takes the keyboard, so Escape reaches this overlay.
    virtual void makeKey() = 0;
    // Where the last click was, in global display space, when the overlay knows
    // it better than the pointer can be asked (Wayland gives no global position).
    virtual std::optional<Point> clickPoint() const { return std::nullopt; }
};

class OverlayFactory {
  public:
    virtual ~OverlayFactory() = default;
    // Brings the application to the front before the overlays open.
    virtual void activate() = 0;
    // An overlay covering frame (global display space) of display id; the
    // callbacks fire on every mouse-down and on Escape. Closing is destruction.
    // nullptr when the display cannot be covered; the factory says why in the log.
    virtual std::unique_ptr<OverlaySurface> open(std::uint32_t id, const Rect& frame,
                                                 std::function<void()> onClick,
                                                 std::function<void()> onEsc) = 0;
};

class AlignMode {
  public:
    struct Pick {
        std::uint32_t id = 0;
        Side side = Side::top;
        double pos = 0;  // x along top and bottom, y along left and right
        Point edgePt;
        bool operator==(const Pick&) const = default;
    };

    AlignMode(Arrangement& arrangement, PointerServices& pointer, Scheduler& scheduler,
              OverlayFactory& overlays);
    ~AlignMode();
    AlignMode(const AlignMode&) = delete;
    AlignMode& operator=(const AlignMode&) = delete;

    enum class Start { started, notTwoDisplays, uncovered };
    // Nothing stays open unless exactly two displays are attached and each got
    // its overlay.
    Start start();
    void stop();
    bool isActive() const { return !views_.empty(); }

    std::function<void(const Pick&, const Pick&)> onPicked;

    // What each overlay shows now, for tests and diagnostics.
    const OverlayContent* content(std::uint32_t id) const;
    const std::optional<Pick>& first() const { return first_; }

    // Exposed for the overlays' callbacks.
    void clicked(std::uint32_t id);

    static Pick pick(std::uint32_t id, const Rect& f, Point p, Side side);

  private:
    struct View {
        std::unique_ptr<OverlaySurface> surface;
        Rect frame;
        OverlayContent content;
    };
    void mark(const Pick& pk, const Rect& f);
    void refreshTexts();

    Arrangement& arrangement_;
    PointerServices& pointer_;
    Scheduler& scheduler_;
    OverlayFactory& overlays_;
    std::map<std::uint32_t, View> views_;
    std::optional<Pick> first_;
    std::uint64_t generation_ = 0;
    // Delayed completions and window callbacks check this so they never outlive the mode.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The screen name with each word capitalised: "Monitor", "Laptop".
std::string capitalisedWords(const std::string& text);

struct ConfirmTexts {
    std::string message, informative, confirm, cancel;
};
// The question asked before two picks are joined.
ConfirmTexts confirmTexts(Arrangement& arrangement, const AlignMode::Pick& a,
                          const AlignMode::Pick& b);

}  // namespace seam
