#include "align/pill.h"

namespace seam {

Rect toastScreen(Point p, const std::vector<Disp>& displays, const Rect& mainFrame) {
    for (const Disp& d : displays)
        if (d.f.contains(p)) return d.f;
    return mainFrame;
}

Rect toastFrame(Point p, double width, double height, const std::vector<Disp>& displays,
                const Rect& mainFrame) {
    const Rect screen = toastScreen(p, displays, mainFrame);
    double x = p.x + 16;
    if (x + width > screen.maxX() - 8) x = p.x - 16 - width;
    double y = p.y + 18;
    if (y + height > screen.maxY() - 8) y = p.y - 18 - height;
    return {x, y, width, height};
}

void fadeOut(Scheduler& scheduler, std::weak_ptr<ToastWindow> window, double seconds,
             std::function<void()> done) {
    scheduler.after(seconds, [window, done = std::move(done)] {
        auto w = window.lock();
        if (!w) return;
        // The window keeps itself alive until its animation ends.
        w->fadeOut(0.25, [keep = w, done] {
            keep->hide();
            done();
        });
    });
}

Pill::Pill(Arrangement& arrangement, Scheduler& scheduler, ToastFactory& factory)
    : arrangement_(arrangement), scheduler_(scheduler), factory_(factory) {}

Pill::~Pill() {
    *alive_ = false;
}

void Pill::show(const std::string& text, Point near, double seconds) {
    if (window_) {
        window_->hide();
        window_.reset();
    }
    const std::vector<Disp> list = arrangement_.displays();
    Rect mainFrame;
    const std::uint32_t main = arrangement_.mainDisplay();
    for (const Disp& d : list)
        if (d.id == main) mainFrame = d.f;
    const Point label = factory_.measure(text);
    const double scale = factory_.scaleOf(toastScreen(near, list, mainFrame));
    const double w = (label.x + 20) * scale, h = (label.y + 10) * scale;
    auto window = factory_.open(text, toastFrame(near, w, h, list, mainFrame));
    if (!window) return;
    window->fadeIn(0.12);
    window_ = window;
    std::weak_ptr<bool> alive = alive_;
    std::weak_ptr<ToastWindow> mine = window;
    fadeOut(scheduler_, mine, seconds, [this, alive, mine] {
        auto a = alive.lock();
        // A newer toast is left alone.
        if (a && *a && window_ && window_ == mine.lock()) window_.reset();
    });
}

}  // namespace seam
