#include "suggest/qt/suggestion_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "base/log.h"
#include "base/qt/prefs.h"
#include "base/qt/theme_icon.h"
#include "base/text.h"
#include "suggest/panel_placement.h"

namespace seam {

namespace {
constexpr int kW = int(kSuggestionWidth);
constexpr int kH = int(kSuggestionHeight);
constexpr double kRadius = 12;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QFont systemFont(int pixels, QFont::Weight weight = QFont::Normal) {
    QFont f = QApplication::font();
    f.setPixelSize(pixels);
    f.setWeight(weight);
    return f;
}

QPainterPath roundedArea(const QSize& size) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), kRadius, kRadius);
    return path;
}

class SuggestionContent : public QWidget {
  public:
    explicit SuggestionContent(bool opaque) : opaque_(opaque) {
        setAttribute(Qt::WA_TranslucentBackground);
        resize(kW, kH);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        // No compositor for a translucent material on X11: the panel shows the
        // window colour, a shade lighter than the opaque rendering's.
        QColor c = palette().color(QPalette::Window);
        if (!opaque_) c = c.lighter(104);
        p.setBrush(c);
        p.drawPath(roundedArea(size()));
    }

  private:
    bool opaque_;
};

QRectF toQt(const Rect& r) {
    return {r.x, r.y, r.width, r.height};
}
Rect fromQt(const QRectF& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}
}  // namespace

NoKeyPanel::NoKeyPanel(const QRect& frame)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(frame);
    // Where the compositor places windows, one of fixed size floats, centred,
    // rather than being tiled across the screen.
    setFixedSize(frame.size());
    // Rounded corners without a compositor: cut the window to its shape.
    setMask(QRegion(roundedArea(frame.size()).toFillPolygon().toPolygon()));
}

void NoKeyPanel::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && onReturn) {
        onReturn();
        return;
    }
    QWidget::keyPressEvent(event);
}

SuggestionPanel::SuggestionPanel(Scheduler& scheduler, std::function<QPoint()> cursor)
    : scheduler_(scheduler), cursor_(std::move(cursor)) {
    if (!cursor_) cursor_ = [] { return QCursor::pos(); };
}

SuggestionPanel::~SuggestionPanel() {
    if (timer_) scheduler_.cancel(timer_);
    delete panel_.data();
    for (const auto& p : fading_) delete p.data();
}

QWidget* SuggestionPanel::makeContent(const std::string& name, bool opaque) {
    auto* view = new SuggestionContent(opaque);

    auto* icon = new QLabel(view);
    icon->setGeometry(14, 14, 32, 32);
    icon->setPixmap(themedApplicationIcon().pixmap(32, 32));

    auto* title = new QLabel(view);
    title->setGeometry(56, 13, kW - 70, 18);
    title->setFont(systemFont(13, QFont::DemiBold));
    std::string text = T("%@ 배치로 맞출까요?", "Switch to the %@ layout?");
    text.replace(text.find("%@"), 2, name);
    title->setText(QFontMetrics(title->font()).elidedText(qs(text), Qt::ElideRight, kW - 70));

    auto* info = new QLabel(qs(T("저장할 때와 같은 모니터가 연결됐어요.",
                                 "The same monitors you saved it with are connected.")),
                            view);
    info->setGeometry(56, 33, kW - 70, 32);
    info->setWordWrap(true);
    info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    info->setFont(systemFont(12));
    QPalette secondary = info->palette();
    QColor grey = secondary.color(QPalette::WindowText);
    grey.setAlphaF(0.55f);
    secondary.setColor(QPalette::WindowText, grey);
    info->setPalette(secondary);

    auto* check = new QCheckBox(
        qs(T("다음부터 묻지 않고 바로 맞추기", "Next time, switch without asking")), view);
    check->setObjectName("check");
    check->setGeometry(54, 66, kW - 68, 18);
    check->setFont(systemFont(12));
    check->setFocusPolicy(Qt::NoFocus);

    auto* switchButton = new QPushButton(qs(T("맞추기", "Switch")), view);
    switchButton->setObjectName("switch");
    const int sx = kW - 14 - 92;
    switchButton->setGeometry(sx, kH - 12 - 30, 92, 30);
    switchButton->setDefault(true);
    switchButton->setFocusPolicy(Qt::NoFocus);

    auto* later = new QPushButton(qs(T("이번엔 그냥 둘게요", "Not now")), view);
    later->setObjectName("later");
    const int bw = std::max(later->sizeHint().width() + 16, 92);
    later->setGeometry(sx - 6 - bw, kH - 42, bw, 30);
    later->setFocusPolicy(Qt::NoFocus);
    return view;
}

void SuggestionPanel::show(const std::string& layoutID, const std::string& name) {
    show(layoutID, name, anchor ? anchor() : std::nullopt);
}

void SuggestionPanel::show(const std::string& layoutID, const std::string& name,
                           const std::optional<QRect>& anchorFrame) {
    dismiss();
    std::vector<ScreenArea> screens;
    std::optional<std::size_t> mainIndex;
    const QList<QScreen*> all = QGuiApplication::screens();
    for (QScreen* s : all) {
        if (s == QGuiApplication::primaryScreen()) mainIndex = screens.size();
        screens.push_back({fromQt(s->geometry()), fromQt(s->availableGeometry())});
    }
    std::optional<Rect> anchorRect;
    if (anchorFrame && !anchorFrame->isEmpty()) anchorRect = fromQt(*anchorFrame);
    const auto frame = suggestionFrame(anchorRect, screens, mainIndex);
    if (!frame) return;

    auto* panel = new NoKeyPanel(toQt(*frame).toRect());
    QWidget* content = makeContent(name, false);
    content->setParent(panel);
    content->move(0, 0);
    check_ = content->findChild<QCheckBox*>("check");
    connect(content->findChild<QPushButton*>("switch"), &QPushButton::clicked, this,
            [this] { tapSwitch(); });
    connect(content->findChild<QPushButton*>("later"), &QPushButton::clicked, this,
            [this] { tapLater(); });
    panel->onReturn = [this] { tapSwitch(); };

    panel->setWindowOpacity(0);
    panel->show();
    panel->raise();
    auto* fade = new QPropertyAnimation(panel, "windowOpacity", panel);
    fade->setDuration(150);
    fade->setEndValue(1.0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);

    panel_ = panel;
    layoutID_ = layoutID;
    schedule(lifetime);
}

void SuggestionPanel::dismiss() {
    if (timer_) scheduler_.cancel(timer_);
    timer_ = 0;
    if (!panel_) return;
    NoKeyPanel* panel = panel_;
    panel_ = nullptr;
    layoutID_.reset();
    check_ = nullptr;
    std::erase_if(fading_, [](const QPointer<NoKeyPanel>& p) { return p.isNull(); });
    fading_.emplace_back(panel);
    auto* fade = new QPropertyAnimation(panel, "windowOpacity", panel);
    fade->setDuration(200);
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, panel, [panel] {
        panel->hide();
        panel->deleteLater();
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void SuggestionPanel::answer(bool apply) {
    if (!layoutID_) return;
    const std::string id = *layoutID_;
    const bool always = check_ && check_->isChecked();
    dismiss();
    if (onAnswer) onAnswer(id, apply, always);
}

void SuggestionPanel::schedule(double seconds) {
    if (timer_) scheduler_.cancel(timer_);
    timer_ = scheduler_.after(seconds, [this] {
        timer_ = 0;
        timedOut();
    });
}

void SuggestionPanel::timedOut() {
    if (!panel_) return;
    // The panel stays while the user is on it.
    if (panel_->frameGeometry().contains(cursor_())) {
        schedule(lingerSeconds);
        return;
    }
    log("layout suggestion timed out");
    dismiss();
}

bool renderSuggestion(const QString& path) {
    std::unique_ptr<QWidget> content(SuggestionPanel::makeContent(T("사무실", "Office"), true));
    return renderPNG(content.get(), path);
}

}  // namespace seam
