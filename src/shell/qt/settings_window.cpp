#include "shell/qt/settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

#include "base/log.h"
#include "shell/qt/key_event.h"
#include "shell/qt/shell_icons.h"
#include "shell/settings_view.h"
#include "shell/shortcut_recorder.h"

namespace seam {

namespace sv = settings_view;

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QRect rect(double x, double y, double w, double h) {
    return QRect(int(x), int(y), int(w), int(h));
}

QFont systemFont(int pixels, QFont::Weight weight = QFont::Normal) {
    QFont f = QApplication::font();
    f.setPixelSize(pixels);
    f.setWeight(weight);
    return f;
}

QLabel* label(QWidget* parent, const std::string& text, const QFont& font, QRect frame) {
    auto* l = new QLabel(qs(text), parent);
    l->setFont(font);
    l->setGeometry(frame);
    return l;
}

void setSecondary(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

// The window tells its owner when it closes, so recording ends with it. Escape
// closes it like a dialog; while a key is recorded Escape never gets here.
class SettingsWidget : public QWidget {
  public:
    std::function<void()> onClose;

  protected:
    void closeEvent(QCloseEvent* e) override {
        if (onClose) onClose();
        QWidget::closeEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(e);
    }
};
}  // namespace

SettingsWindow::SettingsWindow() = default;

SettingsWindow::~SettingsWindow() {
    if (monitor_) qApp->removeEventFilter(this);
    delete window_;
}

void SettingsWindow::ensureWindow() {
    if (window_) return;
    auto* w = new SettingsWidget;
    w->setWindowTitle(qs(sv::windowTitle()));
    w->setFixedSize(int(sv::W), 190);
    w->onClose = [this] { stopRecording(); };
    window_ = w;
    layoutContent();
}

void SettingsWindow::show() {
    if (window_) {
        stopRecording();
        layoutContent();
    } else {
        ensureWindow();
    }
    refresh();
    window_->show();
    window_->raise();
    if (QScreen* screen = window_->screen()) {
        const QRect area = screen->availableGeometry();
        window_->move(area.center() - QPoint(window_->width() / 2, window_->height() / 2));
    }
    window_->activateWindow();
}

void SettingsWindow::reloadLayouts() {
    if (!window_ || !window_->isVisible()) return;
    stopRecording();
    layoutContent();
    refresh();
}

QWidget* SettingsWindow::renderContent() {
    ensureWindow();
    refresh();
    return content_;
}

void SettingsWindow::layoutContent() {
    if (!window_) return;
    const std::vector<SavedLayout> saved = layouts();
    buttons_.clear();
    clearButtons_.clear();
    if (content_) {
        // A name field losing focus as it goes must not count as an edit.
        for (QLineEdit* field : content_->findChildren<QLineEdit*>()) field->blockSignals(true);
        delete content_;
    }
    auto* content = new QWidget(window_);
    content->setAutoFillBackground(true);
    content_ = content;

    const QFont header = systemFont(13, QFont::DemiBold);
    label(content, sv::shortcutsHeader(), header, rect(24, 24, 200, 18));
    const auto rows = sv::fixedRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int y = 52 + 40 * int(i);
        label(content, rows[i].title, systemFont(13), rect(24, y + 6, 160, 20));
        auto* b = new QPushButton(content);
        b->setGeometry(rect(190, y, 186, 30));
        const std::string id = rows[i].id;
        connect(b, &QPushButton::clicked, this, [this, id] { record(id); });
        buttons_[id] = b;
    }

    const sv::Arrangement a = sv::arrange(saved.size());
    if (a.layouts) {
        label(content, sv::layoutsHeader(), header, rect(24, 146, 200, 18));
        auto* scroll = new QScrollArea(content);
        scroll->setGeometry(rect(a.list.x, a.list.y, a.list.width, a.list.height));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(a.scroller ? Qt::ScrollBarAsNeeded
                                                      : Qt::ScrollBarAlwaysOff);
        scroll->viewport()->setAutoFillBackground(false);
        auto* document = new QWidget;
        document->setAutoFillBackground(false);
        document->setFixedSize(int(sv::W), int(a.documentHeight));
        for (std::size_t n = 0; n < saved.size(); ++n)
            layoutRow(document, saved[n], int(sv::layoutRowH * double(n)));
        scroll->setWidget(document);
    }

    auto* defaults = new QPushButton(qs(sv::defaultsTitle()), content);
    const Rect df = sv::defaultsFrame(defaults->sizeHint().width(), a.y0);
    defaults->setGeometry(rect(df.x, df.y, df.width, df.height));
    connect(defaults, &QPushButton::clicked, this, [this] { resetDefaults(); });
    const Rect hf = sv::hintFrame(df, a.y0);
    QLabel* hint =
        label(content, sv::hint(), systemFont(11), rect(hf.x, hf.y, hf.width, hf.height));
    hint->setWordWrap(true);
    setSecondary(hint, secondaryLabelColour());

    content->setGeometry(0, 0, int(sv::W), int(a.height));
    window_->setFixedSize(int(sv::W), int(a.height));  // resizing keeps the top edge
    content->show();
}

void SettingsWindow::layoutRow(QWidget* parent, const SavedLayout& layout, int y) {
    const std::string keyId = std::string(layoutKeyPrefix) + layout.id;
    const std::string layoutId = layout.id;

    auto* name = new QLineEdit(qs(layout.name), parent);
    name->setFont(systemFont(13));
    name->setGeometry(24, y + 3, 150, 24);
    name->setObjectName(qs("name." + layout.id));
    name->setCursorPosition(0);
    connect(name, &QLineEdit::editingFinished, this, [this, name] { renamed(name); });

    auto* button = new QPushButton(parent);
    button->setGeometry(180, y, 140, 30);
    connect(button, &QPushButton::clicked, this, [this, keyId] { record(keyId); });
    buttons_[keyId] = button;

    auto* clear = new QPushButton(parent);
    clear->setFlat(true);
    clear->setGeometry(322, y + 5, 20, 20);
    clear->setIcon(QIcon(clearIconPixmap(32, tertiaryLabelColour())));
    clear->setIconSize(QSize(14, 14));
    clear->setToolTip(qs(sv::clearToolTip()));
    clear->setStyleSheet("QPushButton { border: none; background: transparent; }");
    connect(clear, &QPushButton::clicked, this, [this, keyId] { clearKey(keyId); });
    clearButtons_[keyId] = clear;

    auto* trash = new QPushButton(parent);
    trash->setFlat(true);
    trash->setGeometry(348, y + 4, 28, 22);
    trash->setIcon(QIcon(trashIconPixmap(32, secondaryLabelColour())));
    trash->setIconSize(QSize(16, 16));
    trash->setAccessibleName(qs(sv::deleteText()));
    trash->setStyleSheet("QPushButton { border: none; background: transparent; }");
    connect(trash, &QPushButton::clicked, this, [this, layoutId] { deleteLayout(layoutId); });

    const QString monitors = qs(sv::monitorsLine(layout));
    QLabel* line = label(parent, "", systemFont(11), QRect(27, y + 35, 147, 16));
    line->setText(line->fontMetrics().elidedText(monitors, Qt::ElideRight, 147));
    line->setToolTip(monitors);
    setSecondary(line, secondaryLabelColour());

    auto* autoApply = new QCheckBox(qs(sv::autoApplyTitle()), parent);
    autoApply->setFont(systemFont(11));
    autoApply->setGeometry(180, y + 34, 200, 18);
    autoApply->setChecked(layout.autoApply);
    connect(autoApply, &QCheckBox::clicked, this,
            [this, layoutId](bool on) { toggledAuto(layoutId, on); });
}

void SettingsWindow::refresh() {
    const KeySpecs current = specs();
    for (auto& [id, b] : buttons_) {
        if (!b) continue;
        const QString title = qs(shortcutButtonTitle(id, recording_, current));
        // Long combinations written out in words are shortened in the middle,
        // whole in the tool tip; the recording prompt is left as it is.
        const QString shown =
            recording_ == id ? title
                             : b->fontMetrics().elidedText(title, Qt::ElideMiddle, b->width() - 16);
        b->setText(shown);
        b->setToolTip(shown == title ? QString() : title);
    }
    for (auto& [id, b] : clearButtons_)
        if (b) b->setVisible(!clearButtonHidden(id, recording_, current));
}

void SettingsWindow::record(const std::string& id) {
    if (id.empty()) return;
    stopRecording();
    recording_ = id;
    if (onRecordingChanged) onRecordingChanged(true);
    refresh();
    qApp->installEventFilter(this);
    monitor_ = true;
}

void SettingsWindow::stopRecording() {
    if (monitor_) {
        qApp->removeEventFilter(this);
        monitor_ = false;
    }
    if (recording_) {
        recording_.reset();
        if (onRecordingChanged) onRecordingChanged(false);
    }
    refresh();
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!window_ || !recording_) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Keeps menus' and buttons' shortcuts from taking the combination.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) return keyDown(static_cast<const QKeyEvent&>(*event));
    return QObject::eventFilter(watched, event);
}

bool SettingsWindow::keyDown(const QKeyEvent& event) {
    const auto key = keyEventFrom(event);
    if (!key) return true;  // a modifier on its way to a combination
    const std::string id = *recording_;
    const RecordedKey r = judgeRecordedKey(id, *key, specs());
    switch (r.kind) {
        case RecordedKey::Kind::cancel:
            stopRecording();
            break;
        case RecordedKey::Kind::invalid:
            ring();
            break;
        case RecordedKey::Kind::clash:
            ring();
            log("hotkey clash with " + r.clashWith);
            break;
        case RecordedKey::Kind::accept:
            if (onChange) onChange(id, r.spec);
            stopRecording();
            break;
    }
    return true;
}

void SettingsWindow::ring() {
    if (beep)
        beep();
    else
        QApplication::beep();
}

void SettingsWindow::clearKey(const std::string& id) {
    if (id.empty()) return;
    stopRecording();
    if (onClear) onClear(id);
    refresh();
}

void SettingsWindow::resetDefaults() {
    stopRecording();
    if (onChange) {
        onChange("align", defaultAlign);
        onChange("undo", defaultUndo);
    }
    refresh();
}

void SettingsWindow::renamed(QLineEdit* field) {
    const std::string prefix = "name.";
    const std::string name = field->objectName().toStdString();
    if (!name.starts_with(prefix)) return;
    const std::string id = name.substr(prefix.size());
    const std::vector<SavedLayout> before = layouts();
    const auto old = std::find_if(before.begin(), before.end(),
                                  [&](const SavedLayout& l) { return l.id == id; });
    if (old == before.end()) return;
    const std::string typed = field->text().toStdString();
    if (onRename && onRename(id, typed)) {
        const std::vector<SavedLayout> after = layouts();
        const auto now = std::find_if(after.begin(), after.end(),
                                      [&](const SavedLayout& l) { return l.id == id; });
        field->setText(qs(now == after.end() ? typed : now->name));
    } else {
        field->setText(qs(old->name));
        if (typed != old->name) ring();
    }
}

void SettingsWindow::toggledAuto(const std::string& layoutId, bool on) {
    stopRecording();
    if (onAutoApply) onAutoApply(layoutId, on);
}

void SettingsWindow::deleteLayout(const std::string& layoutId) {
    const std::vector<SavedLayout> saved = layouts();
    const auto it = std::find_if(saved.begin(), saved.end(),
                                 [&](const SavedLayout& l) { return l.id == layoutId; });
    if (it == saved.end() || !window_) return;
    stopRecording();
    auto* box = new QMessageBox(window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setText(qs(sv::deleteQuestion(it->name)));
    QPushButton* del = box->addButton(qs(sv::deleteText()), QMessageBox::DestructiveRole);
    box->addButton(qs(sv::cancelText()), QMessageBox::RejectRole);
    QPointer<SettingsWindow> self(this);
    connect(box, &QMessageBox::buttonClicked, this, [self, del, layoutId](QAbstractButton* b) {
        if (self && b == del && self->onDelete) self->onDelete(layoutId);
    });
    box->open();
}

QAbstractButton* SettingsWindow::shortcutButton(const std::string& id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second.data();
}

QAbstractButton* SettingsWindow::clearButton(const std::string& id) const {
    const auto it = clearButtons_.find(id);
    return it == clearButtons_.end() ? nullptr : it->second.data();
}

}  // namespace seam
