// The one transient message ("toast") near a point. Placement and lifetime are
// decided here; the window itself is behind ToastFactory.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geometry/arrangement.h"
#include "platform/clock.h"

namespace seam {

class ToastWindow {
  public:
    virtual ~ToastWindow() = default;
    virtual void fadeIn(double seconds) = 0;
    // Animates to transparent, then calls done; the window hides itself then.
    virtual void fadeOut(double seconds, std::function<void()> done) = 0;
    virtual void hide() = 0;
};

class ToastFactory {
  public:
    virtual ~ToastFactory() = default;
    // Size of the label that shows text.
    virtual Point measure(const std::string& text) = 0;  // x = width, y = height
    // Display pixels per point of the toast on a screen; a scaled screen draws
    // the same toast over more of them.
    virtual double scaleOf(const Rect& screen) {
        (void)screen;
        return 1;
    }
    // A click-through toast at frame (global display space).
    virtual std::shared_ptr<ToastWindow> open(const std::string& text, const Rect& frame) = 0;
};

// The screen is the first display holding p, else the main one.
Rect toastScreen(Point p, const std::vector<Disp>& displays, const Rect& mainFrame);
// Below right of p, flipped left or up where it would come within 8 points of
// the screen's right or bottom edge.
Rect toastFrame(Point p, double width, double height, const std::vector<Disp>& displays,
                const Rect& mainFrame);

// After seconds, if the window still exists, fades it out over 0.25 s, then done.
void fadeOut(
    Scheduler& scheduler, std::weak_ptr<ToastWindow> window, double seconds,
    std::function<void()> done = [] {});

class Pill {
  public:
    Pill(Arrangement& arrangement, Scheduler& scheduler, ToastFactory& factory);
    ~Pill();
    Pill(const Pill&) = delete;
    Pill& operator=(const Pill&) = delete;

    void show(const std::string& text, Point near, double seconds = 1.1);
    const std::shared_ptr<ToastWindow>& window() const { return window_; }

  private:
    Arrangement& arrangement_;
    Scheduler& scheduler_;
    ToastFactory& factory_;
    std::shared_ptr<ToastWindow> window_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace seam
