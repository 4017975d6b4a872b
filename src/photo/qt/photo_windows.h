// Photo mode on the real screens: the pink window with the control panel, the
// green one with its box, the file chooser, the clipboard and the download folder.
#pragma once

#include <QMessageBox>
#include <QWidget>
#include <memory>

#include "align/qt/overlay_window.h"
#include "photo/photo_mode.h"

class QLabel;

namespace seam {

class PhotoPinkWindow : public KeyWindow {
    Q_OBJECT
  public:
    explicit PhotoPinkWindow(PhotoPinkHandlers handlers);
    void setStatus(const QString& text);
    QWidget* panel() const { return panel_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    PhotoPinkHandlers handlers_;
    QWidget* panel_;
    QLabel* status_;
};

class PhotoGreenWindow : public KeyWindow {
    Q_OBJECT
  public:
    PhotoGreenWindow();

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class QtPhotoScreens : public PhotoScreens {
  public:
    explicit QtPhotoScreens(Arrangement& arrangement) : arrangement_(arrangement) {}
    void activate() override {}
    std::unique_ptr<PhotoSurface> openPink(const Rect& frame, PhotoPinkHandlers handlers) override;
    std::unique_ptr<PhotoSurface> openGreen(const Rect& frame) override;
    std::optional<std::string> chooseFile() override;
    PhotoDelivery clipboardImage() override;
    void beep() override;

  private:
    Arrangement& arrangement_;
};

// The XDG download folder: XDG_DOWNLOAD_DIR, else the user's xdg-user-dirs
// entry, else ~/Downloads.
QString downloadFolder();

class QtPhotoFiles : public PhotoFiles {
  public:
    std::optional<std::vector<DownloadEntry>> downloads() override;
    std::optional<PhotoImage> load(const std::string& path) override;
};

// The question asked before a photo's reading is applied, with its preview.
std::unique_ptr<QMessageBox> photoConfirmBox(const PhotoAlignResult& result);

}  // namespace seam
