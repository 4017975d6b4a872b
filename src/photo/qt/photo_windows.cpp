#include "photo/qt/photo_windows.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include "photo/qt/photo_loader.h"
#include "photo/qt/photo_preview.h"
#include "platform/qt/qt_screen_scaling.h"

namespace seam {

namespace {
QString qs(const char* s) {
    return QString::fromUtf8(s);
}

// Sizes are given in logical pixels; a point is 1/72 inch at Qt's 96 per inch.
QFont sizedFont(double pixels, QFont::Weight weight = QFont::Normal) {
    QFont f = QApplication::font();
    f.setPointSizeF(pixels * 72.0 / 96.0);
    f.setWeight(weight);
    return f;
}

QColor white(double alpha) {
    return QColor::fromRgbF(1, 1, 1, float(alpha));
}

// A dark translucent box drawn over the colour field of its window.
class RoundedBox : public QWidget {
  public:
    RoundedBox(QWidget* parent, double alpha, double radius)
        : QWidget(parent), alpha_(alpha), radius_(radius) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(0, 0, 0, float(alpha_)));
        p.drawRoundedRect(QRectF(rect()), radius_, radius_);
    }

  private:
    double alpha_, radius_;
};

QLabel* label(QWidget* parent, const QString& text, const QFont& f, const QColor& colour,
              const QRect& frame) {
    auto* l = new QLabel(text, parent);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    l->setGeometry(frame);
    return l;
}

void fill(QWidget* w, PhotoRgb colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(colour));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

template <class Window>
void showOn(Window* w, const QtPlacement& placement) {
    placeWindow(w, placement);
    w->show();
    placeWindow(w, placement);
    w->raise();
}

class QtPhotoSurface : public PhotoSurface {
  public:
    explicit QtPhotoSurface(KeyWindow* window, PhotoPinkWindow* pink = nullptr)
        : window_(window), pink_(pink) {}
    ~QtPhotoSurface() override {
        if (!window_) return;
        window_->releaseKeyboard();
        window_->hide();
        window_->deleteLater();  // may be inside one of its own event handlers
    }
    void setStatus(const std::string& text) override {
        if (pink_) pink_->setStatus(QString::fromStdString(text));
    }

  private:
    QPointer<KeyWindow> window_;
    QPointer<PhotoPinkWindow> pink_;
};

PhotoDelivery delivered(const std::optional<QImage>& image) {
    if (!image) return {PhotoDelivery::Kind::unreadable, {}};
    return {PhotoDelivery::Kind::image, PhotoAligner::pixels(*image)};
}
}  // namespace

PhotoPinkWindow::PhotoPinkWindow(PhotoPinkHandlers handlers)
    : KeyWindow(true), handlers_(std::move(handlers)) {
    fill(this, photoPink);
    setAcceptDrops(true);
    onEsc = handlers_.onEsc;
    panel_ = new RoundedBox(this, 0.6, 16);
    panel_->resize(460, 196);
    label(panel_, qs(photo_text::title), sizedFont(18, QFont::DemiBold), white(1),
          {16, 18, 428, 26});
    QLabel* hint =
        label(panel_, qs(photo_text::hint), sizedFont(12.5), white(0.85), {16, 50, 428, 38});
    hint->setObjectName("hint");
    status_ = label(panel_, qs(photo_text::initialStatus), sizedFont(11.5), white(0.7),
                    {16, 150, 428, 30});
    status_->setObjectName("status");
    const auto button = [this](const char* text, const QRect& frame, std::function<void()> action) {
        auto* b = new QPushButton(qs(text), panel_);
        b->setGeometry(frame);
        b->setFocusPolicy(Qt::NoFocus);  // the window keeps the keyboard for Escape and Return
        QObject::connect(b, &QPushButton::clicked, this, [action] {
            if (action) action();
        });
        return b;
    };
    button(photo_text::camera, {24, 112, 150, 32}, handlers_.onCamera)->setDefault(true);
    button(photo_text::file, {180, 112, 150, 32}, handlers_.onFile);
    button(photo_text::cancel, {336, 112, 100, 32}, handlers_.onCancel);
}

void PhotoPinkWindow::setStatus(const QString& text) {
    status_->setText(text);
    QPalette pal = status_->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgbF(1.0f, 0.9f, 0.5f));
    status_->setPalette(pal);
}

void PhotoPinkWindow::keyPressEvent(QKeyEvent* event) {
    // Return is the camera button's key.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (auto action = handlers_.onCamera) action();
        return;
    }
    KeyWindow::keyPressEvent(event);
}

void PhotoPinkWindow::resizeEvent(QResizeEvent*) {
    panel_->move(width() / 2 - 230, height() / 2 - 98);
}

void PhotoPinkWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void PhotoPinkWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // After the drop has finished: the photo may lead to a modal question, and the
    // dragging program waits for the drop's end until then.
    const std::string path = urls.first().toLocalFile().toStdString();
    QTimer::singleShot(0, this, [this, path] {
        if (auto action = handlers_.onDrop) action(path);
    });
}

PhotoGreenWindow::PhotoGreenWindow() : KeyWindow(true) {
    fill(this, photoGreen);
}

void PhotoGreenWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(width() / 2.0 - 200, height() / 2.0 - 30, 400, 60);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgbF(0, 0, 0, 0.55f));
    p.drawRoundedRect(box, 14, 14);
    p.setFont(sizedFont(16, QFont::Medium));
    p.setPen(Qt::white);
    p.drawText(QRectF(box.x() + 10, box.y() + 18, 380, 24), Qt::AlignCenter,
               qs(photo_text::otherScreen));
}

std::unique_ptr<PhotoSurface> QtPhotoScreens::openPink(const Rect& frame,
                                                       PhotoPinkHandlers handlers) {
    auto* w = new PhotoPinkWindow(std::move(handlers));
    showOn(w, qtPlacement(arrangement_.cocoaRect(frame)));
    w->activateWindow();
    w->setFocus(Qt::ActiveWindowFocusReason);
    // Nothing hands an override-redirect window the keyboard: take it for Escape.
    w->grabKeyboard();
    return std::make_unique<QtPhotoSurface>(w, w);
}

std::unique_ptr<PhotoSurface> QtPhotoScreens::openGreen(const Rect& frame) {
    auto* w = new PhotoGreenWindow;
    showOn(w, qtPlacement(arrangement_.cocoaRect(frame)));
    return std::make_unique<QtPhotoSurface>(w);
}

std::optional<std::string> QtPhotoScreens::chooseFile() {
    // The chooser needs the keyboard the pink window holds; it gets it back afterwards.
    QPointer<QWidget> grabber = QWidget::keyboardGrabber();
    if (grabber) grabber->releaseKeyboard();
    QFileDialog dialog(nullptr, qs(photo_text::file).remove(QChar(0x2026)), downloadFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("Images (*.jpg *.jpeg *.png *.heic *.JPG *.JPEG *.PNG *.HEIC)");
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (grabber && grabber->isVisible()) grabber->grabKeyboard();
    if (!chosen) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

PhotoDelivery QtPhotoScreens::clipboardImage() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) return {};
    bool sawImage = false;
    for (const char* type : {"image/heic", "image/jpeg", "image/png", "image/tiff"}) {
        if (!data->hasFormat(type)) continue;
        sawImage = true;
        if (auto image = PhotoAligner::load(data->data(type))) return delivered(image);
    }
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull()) return delivered(PhotoAligner::downscale(image));
        sawImage = true;
    }
    return {sawImage ? PhotoDelivery::Kind::unreadable : PhotoDelivery::Kind::none, {}};
}

void QtPhotoScreens::beep() {
    QApplication::beep();
}

QString downloadFolder() {
    const QString env = qEnvironmentVariable("XDG_DOWNLOAD_DIR");
    if (!env.isEmpty()) return env;
    return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
}

std::optional<std::vector<DownloadEntry>> QtPhotoFiles::downloads() {
    const QDir dir(downloadFolder());
    if (!dir.exists() || !dir.isReadable()) return std::nullopt;
    std::vector<DownloadEntry> out;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        DownloadEntry e{info.absoluteFilePath().toStdString(), {}, info.size()};
        // Where the file system keeps no birth time, the last status change
        // stands in: a file copied or moved in gets a fresh one, whatever its age.
        QDateTime created = info.birthTime();
        if (!created.isValid()) created = info.metadataChangeTime();
        if (created.isValid()) e.created = double(created.toMSecsSinceEpoch()) / 1000.0;
        out.push_back(std::move(e));
    }
    return out;
}

std::optional<PhotoImage> QtPhotoFiles::load(const std::string& path) {
    const auto image = PhotoAligner::load(QString::fromStdString(path));
    if (!image) return std::nullopt;
    return PhotoAligner::pixels(*image);
}

std::unique_ptr<QMessageBox> photoConfirmBox(const PhotoAlignResult& result) {
    const PhotoConfirmTexts t = photoConfirmTexts(result);
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle("Seamwright");
    box->setText(QString::fromStdString(t.message));
    box->setInformativeText(QString::fromStdString(t.informative));
    QPushButton* confirm = box->addButton(qs("확인"), QMessageBox::AcceptRole);
    box->addButton(qs("취소"), QMessageBox::RejectRole);
    box->setDefaultButton(confirm);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    const QImage preview = photoPreview(result, 360);
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()); grid && !preview.isNull()) {
        auto* picture = new QLabel;
        picture->setObjectName("preview");
        picture->setPixmap(QPixmap::fromImage(preview));
        picture->setFixedSize(preview.size() / preview.devicePixelRatio());
        // Above the buttons, under the texts.
        QLayoutItem* buttons = grid->itemAt(grid->count() - 1);
        int row = 0, col = 0, rows = 0, cols = 0;
        grid->getItemPosition(grid->count() - 1, &row, &col, &rows, &cols);
        grid->removeItem(buttons);
        grid->addWidget(picture, row, 0, 1, grid->columnCount(), Qt::AlignHCenter);
        grid->addItem(buttons, row + 1, col, rows, cols);
    }
    return box;
}

}  // namespace seam
