// The edge bar on screen: an always-on-top strip that never takes a click or
// the focus, faded out after its time and replaced by the next one.
#pragma once

#include <memory>

#include "engine/edge_bar.h"
#include "geometry/arrangement.h"
#include "platform/clock.h"

class QWidget;

namespace seam {

class EdgeBarWindow : public EdgeBar {
  public:
    EdgeBarWindow(Arrangement& arrangement, Scheduler& scheduler);
    ~EdgeBarWindow() override;

    void show(Side side, std::pair<double, double> span, double marker, const Rect& on,
              double seconds) override;
    void hide() override;

    // The strip on screen, or nullptr.
    QWidget* window() const;

    class BarView;

  private:
    struct Strip;
    void fadeOut();

    Arrangement& arrangement_;
    Scheduler& scheduler_;
    std::unique_ptr<Strip> strip_;
};

}  // namespace seam
