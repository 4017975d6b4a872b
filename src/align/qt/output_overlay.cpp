#include "align/qt/output_overlay.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "align/output_click.h"
#include "base/log.h"

namespace seam {

OutputOverlayView::OutputOverlayView(const Rect& frame) : KeyWindow(false), frame_(frame) {
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::CrossCursor);
}

void OutputOverlayView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The marker comes in the frame's units, which Qt may count differently.
    const double ratio = width() > 0 ? frame_.width / width() : 1.0;
    // Nothing of the screen to draw beneath: the compositor shows it through.
    p.fillRect(rect(), QColor(0, 0, 0, int(AlignOverlayView::kDim * 255 + 0.5)));
    AlignOverlayView::paintMarks(p, size(), content, ratio);
}

void OutputOverlayView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const QPointF at = event->position();
    clicked = clickInFrame(frame_, width(), height(), {at.x(), at.y()});
    if (onClick) {
        auto callback = onClick;  // the callback may close this window
        callback();
    }
}

std::unique_ptr<OverlaySurface> OutputOverlayFactory::open(std::uint32_t id, const Rect& frame,
                                                           std::function<void()> onClick,
                                                           std::function<void()> onEsc) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    std::vector<std::string> names;
    for (QScreen* s : screens) names.push_back(s->name().toStdString());
    const std::optional<std::string> output = arrangement_.services().outputName(id);
    const std::optional<std::size_t> index = screenOfOutput(output, names);
    if (!index) {
        std::string known;
        for (const std::string& n : names) known += (known.empty() ? "" : ",") + n;
        log("align overlay: no screen shows output " + output.value_or("(unnamed)") +
            " of display " + std::to_string(id) + " (screens " + known + "), align mode refused");
        return nullptr;
    }
    QScreen* screen = screens[static_cast<qsizetype>(*index)];
    auto* view = new OutputOverlayView(frame);
    view->onClick = std::move(onClick);
    view->onEsc = std::move(onEsc);
    // Full screen on that screen's output is the one placement a client may ask for.
    view->setScreen(screen);
    view->setGeometry(screen->geometry());
    view->showFullScreen();
    return std::make_unique<WidgetOverlaySurface<OutputOverlayView>>(view, false);
}

}  // namespace seam
