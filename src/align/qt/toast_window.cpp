#include "align/qt/toast_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScreen>

#include "platform/qt/qt_screen_scaling.h"

namespace seam {

namespace {
class ToastWidget : public QWidget {
  public:
    // placed: whether the window goes where it is put. Where the compositor
    // places windows a pop-up would need a window of ours to hang from; a
    // plain window of fixed size is one it floats, and centres.
    ToastWidget(const Rect& root, QString text, bool placed)
        : QWidget(nullptr,
                  (placed ? Qt::ToolTip | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint
                          : Qt::Window) |
                      Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                      Qt::WindowDoesNotAcceptFocus),
          root_(root),
          text_(std::move(text)),
          placed_(placed) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // The compositor blends: the painting's own transparency makes the pill.
        if (!placed) setAttribute(Qt::WA_TranslucentBackground);
        place();
        // Right after a move of ours Qt may still hold the old screens; once it
        // learns the new ones the same root rectangle maps elsewhere.
        const auto watch = [this](QScreen* s) {
            connect(s, &QScreen::geometryChanged, this, &ToastWidget::place);
        };
        for (QScreen* s : QGuiApplication::screens()) watch(s);
        connect(qApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* s) {
            watch(s);
            place();
        });
        connect(qApp, &QGuiApplication::screenRemoved, this, &ToastWidget::place);
    }

    void place() {
        const QtPlacement placement = qtPlacement(root_);
        if (placed_)
            placeWindow(this, placement);
        else
            setFixedSize(placement.geometry.size());
    }

  protected:
    // No compositor for rounded translucency: cut the window to the pill. The
    // mask is logical and Qt scales it to the screen's pixels; redone on every
    // resize, which a change of scale brings.
    void resizeEvent(QResizeEvent*) override {
        if (!placed_) return;  // translucent there: the painting makes the shape
        QPainterPath path;
        const double r = height() / 2.0;
        path.addRoundedRect(QRectF(0, 0, width(), height()), r, r);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QtToastFactory::paintToast(p, size(), text_);
    }

  private:
    Rect root_;
    QString text_;
    bool placed_;
};

class QtToast : public ToastWindow, public std::enable_shared_from_this<QtToast> {
  public:
    explicit QtToast(ToastWidget* w) : widget_(w) {}
    ~QtToast() override { widget_->deleteLater(); }
    void fadeIn(double seconds) override {
        widget_->setWindowOpacity(0);
        widget_->show();
        widget_->raise();
        animate(1, seconds, nullptr);
    }
    void fadeOut(double seconds, std::function<void()> done) override {
        animate(0, seconds, std::move(done));
    }
    void hide() override { widget_->hide(); }

  private:
    void animate(double to, double seconds, std::function<void()> done) {
        auto* a = new QPropertyAnimation(widget_, "windowOpacity", widget_);
        a->setDuration(int(seconds * 1000));
        a->setEndValue(to);
        if (done) QObject::connect(a, &QPropertyAnimation::finished, [done] { done(); });
        a->start(QAbstractAnimation::DeleteWhenStopped);
    }
    ToastWidget* widget_;
};
}  // namespace

QFont QtToastFactory::font() {
    QFont f = QApplication::font();
    f.setPixelSize(12);
    f.setWeight(QFont::Medium);
    return f;
}

Point QtToastFactory::measure(const std::string& text) {
    return labelSize(text);
}

double QtToastFactory::scaleOf(const Rect& screen) {
    return pixelRatioOf(arrangement_.cocoaRect(screen));
}

Point QtToastFactory::labelSize(const std::string& text) {
    const QSize s = QFontMetrics(font()).size(0, QString::fromStdString(text));
    return {double(s.width()), double(s.height())};
}

void QtToastFactory::paintToast(QPainter& p, const QSize& size, const QString& text) {
    p.setRenderHint(QPainter::Antialiasing);
    const double r = size.height() / 2.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, int(0.72 * 255 + 0.5)));
    p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), r, r);
    p.setFont(font());
    p.setPen(Qt::white);
    p.drawText(QRect(10, 5, size.width() - 20, size.height() - 10), Qt::AlignLeft | Qt::AlignTop,
               text);
}

std::shared_ptr<ToastWindow> QtToastFactory::open(const std::string& text, const Rect& frame) {
    auto* w = new ToastWidget(arrangement_.cocoaRect(frame), QString::fromStdString(text), placed_);
    return std::make_shared<QtToast>(w);
}

}  // namespace seam
