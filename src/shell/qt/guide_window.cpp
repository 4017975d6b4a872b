#include "shell/qt/guide_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "base/qt/theme_icon.h"
#include "platform/clock.h"
#include "shell/guide_view.h"
#include "shell/qt/shell_icons.h"

namespace seam {

namespace gv = guide_view;

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Frames are given bottom-up, as the window's design has them.
QRect frame(double x, double y, double w, double h, double parentHeight = gv::H) {
    const Rect r = gv::topDown({x, y, w, h}, parentHeight);
    return QRect(int(r.x), int(r.y), int(r.width), int(r.height));
}

QFont systemFont(int pixels, QFont::Weight weight = QFont::Normal) {
    QFont f = QApplication::font();
    f.setPixelSize(pixels);
    f.setWeight(weight);
    return f;
}

QString rgba(const QColor& c, double alpha) {
    return QString("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(alpha);
}

// Return anywhere in the window means "Try It Now".
class GuideWidget : public QWidget {
  public:
    std::function<void()> onReturn;

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && onReturn) {
            onReturn();
            return;
        }
        QWidget::keyPressEvent(e);
    }
};
}  // namespace

GuideWindow::GuideWindow(Scheduler& scheduler) : scheduler_(scheduler) {}

GuideWindow::~GuideWindow() {
    delete window_;
}

QWidget* GuideWindow::build() {
    if (window_) {
        window_->close();
        window_->deleteLater();
    }
    const gv::Texts t = gv::texts(alignKey(), undoKey(), trayShown());
    auto* w = new GuideWidget;
    w->setWindowTitle(qs(t.title));
    w->setFixedSize(int(gv::W), int(gv::H));
    w->setAutoFillBackground(true);
    w->onReturn = [this] { tryNow(); };
    window_ = w;

    auto* icon = new QLabel(w);
    icon->setPixmap(themedApplicationIcon().pixmap(72, 72));
    icon->setGeometry(frame(194, 334, 72, 72));

    auto* heading = new QLabel(qs(t.heading), w);
    heading->setFont(systemFont(17, QFont::DemiBold));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(frame(20, 300, 420, 24));

    const QColor accent = accentColour();
    for (int n = 1; n <= 4; ++n) {
        const double y = gv::stepY(n);
        auto* badge = new QLabel(QString::number(n), w);
        QFont digits = systemFont(13, QFont::Bold);
        digits.setStyleHint(QFont::SansSerif);
        badge->setFont(digits);
        badge->setAlignment(Qt::AlignCenter);
        badge->setStyleSheet(
            QString("QLabel { color: white; background: %1; border-radius: 11px; }")
                .arg(accent.name()));
        badge->setGeometry(frame(32, y + 14, 22, 22));
        auto* text = new QLabel(qs(t.steps[std::size_t(n - 1)]), w);
        text->setFont(systemFont(13));
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setGeometry(frame(66, y, 362, 38));
    }

    auto* box = new QWidget(w);
    box->setObjectName("keysBox");
    box->setAttribute(Qt::WA_StyledBackground);
    box->setStyleSheet(
        QString("#keysBox { background: %1; border-radius: 10px; }").arg(rgba(accent, 0.08)));
    box->setGeometry(frame(24, 62, 412, 44));
    auto* keys = new QLabel(qs(t.keys), box);
    keys->setObjectName("keys");
    keys->setFont(systemFont(13, QFont::Medium));
    keys->setGeometry(frame(12, 13, 242, 18, 44));
    // Keys written out in words may not fit beside the button: one a line then.
    if (keys->fontMetrics().horizontalAdvance(keys->text()) > keys->width()) {
        keys->setText(qs(t.keysStacked));
        keys->setGeometry(frame(12, 4, 242, 36, 44));
    }
    auto* change = new QPushButton(qs(t.changeShortcuts), box);
    change->setGeometry(frame(252, 6, 152, 32, 44));
    connect(change, &QPushButton::clicked, this, [this] { openShortcuts(); });

    auto* tryIt = new QPushButton(qs(t.tryNow), w);
    tryIt->setObjectName("tryNow");
    tryIt->setGeometry(frame(298, 18, 140, 32));
    tryIt->setDefault(true);
    connect(tryIt, &QPushButton::clicked, this, [this] { tryNow(); });
    auto* close = new QPushButton(qs(t.close), w);
    close->setObjectName("close");
    close->setGeometry(frame(198, 18, 96, 32));
    connect(close, &QPushButton::clicked, this, [this] { closeIt(); });
    return w;
}

void GuideWindow::show() {
    QWidget* w = build();
    w->show();
    w->raise();
    if (QScreen* screen = w->screen()) {
        const QRect area = screen->availableGeometry();
        w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
    w->activateWindow();
}

void GuideWindow::tryNow() {
    closeIt();
    // Align mode's overlays open once the guide has gone.
    QPointer<GuideWindow> self(this);
    scheduler_.after(0.2, [self] {
        if (self && self->onTry) self->onTry();
    });
}

void GuideWindow::openShortcuts() {
    if (onShortcuts) onShortcuts();
}

void GuideWindow::closeIt() {
    if (window_) window_->close();
}

}  // namespace seam
