// Photo mode's windows drawn offscreen, the confirmation with its preview, and
// what the pink window does with keys and dropped files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "photo/qt/photo_loader.h"
#include "photo/qt/photo_windows.h"
#include "platform/sim/sim_display_server.h"
#include "qt/photo_scene.h"
#include "qt_app.h"

namespace seam {
namespace {

struct Calls {
    std::vector<std::string> seen;
    PhotoPinkHandlers handlers() {
        return {
            .onEsc = [this] { seen.push_back("esc"); },
            .onDrop = [this](const std::string& path) { seen.push_back("drop " + path); },
            .onCamera = [this] { seen.push_back("camera"); },
            .onFile = [this] { seen.push_back("file"); },
            .onCancel = [this] { seen.push_back("cancel"); },
        };
    }
};

TEST(PhotoWindows, ColourScreensAndControlPanelLookAsDrawn) {
    testing::qtApp();
    Calls calls;
    PhotoPinkWindow pink(calls.handlers());
    pink.resize(1000, 700);
    const QImage drawn = pink.grab().toImage();
    EXPECT_EQ(pink.panel()->geometry(), QRect(500 - 230, 350 - 98, 460, 196));
    EXPECT_EQ(drawn.pixelColor(5, 5), QColor(224, 20, 184));
    EXPECT_TRUE(testing::matchesReference(drawn, "photo_pink", 40, 0.02));
    pink.setStatus(QString::fromUtf8(photo_text::unreadable));
    auto* status = pink.findChild<QLabel*>("status");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor::fromRgbF(1.0f, 0.9f, 0.5f));
    EXPECT_TRUE(testing::matchesReference(pink.grab().toImage(), "photo_pink_status", 40, 0.02));

    PhotoGreenWindow green;
    green.resize(800, 500);
    const QImage g = green.grab().toImage();
    EXPECT_EQ(g.pixelColor(5, 5), QColor(15, 204, 92));
    EXPECT_NE(g.pixelColor(400 - 190, 250), QColor(15, 204, 92));  // inside the box
    EXPECT_EQ(g.pixelColor(400 - 205, 250), QColor(15, 204, 92));  // just outside
    EXPECT_TRUE(testing::matchesReference(g, "photo_green", 40, 0.02));
}

TEST(PhotoWindows, ClipboardGivesAnImageOrSaysWhyNot) {
    testing::qtApp();
    struct Case {
        const char* name;
        std::function<void(QMimeData&)> fill;
        PhotoDelivery::Kind kind;
    };
    const std::vector<Case> cases = {
        {"a picture", [](QMimeData& d) { d.setImageData(QImage(900, 600, QImage::Format_RGB32)); },
         PhotoDelivery::Kind::image},
        {"jpeg bytes that do not decode",
         [](QMimeData& d) { d.setData("image/jpeg", "not a jpeg"); },
         PhotoDelivery::Kind::unreadable},
        {"text only", [](QMimeData& d) { d.setText("desk.jpg"); }, PhotoDelivery::Kind::none},
    };
    SimDisplayServer server;
    Arrangement arrangement(server);
    QtPhotoScreens screens(arrangement);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* data = new QMimeData;  // the clipboard takes it
        c.fill(*data);
        QApplication::clipboard()->setMimeData(data);
        const PhotoDelivery got = screens.clipboardImage();
        EXPECT_EQ(got.kind, c.kind);
        if (c.kind == PhotoDelivery::Kind::image) {
            EXPECT_EQ(got.image.width, PhotoAligner::maxSide);  // reduced on the way
        }
    }
}

TEST(PhotoWindows, KeysAndDropsReachTheirHandlers) {
    testing::qtApp();
    struct Case {
        const char* name;
        std::function<void(QWidget&)> act;
        std::vector<std::string> seen;
    };
    const auto key = [](int k) {
        return [k](QWidget& w) {
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
            QApplication::sendEvent(&w, &press);
        };
    };
    const auto drop = [](QList<QUrl> urls) {
        return [urls](QWidget& w) {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&w, &enter);
            if (!enter.isAccepted()) return;
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                               Qt::NoModifier);
            QApplication::sendEvent(&w, &dropped);
        };
    };
    const std::vector<Case> cases = {
        {"escape", key(Qt::Key_Escape), {"esc"}},
        {"return is the camera button", key(Qt::Key_Return), {"camera"}},
        {"other keys", key(Qt::Key_A), {}},
        {"first of two files",
         drop({QUrl::fromLocalFile("/tmp/a b.jpg"), QUrl::fromLocalFile("/tmp/c.jpg")}),
         {"drop /tmp/a b.jpg"}},
        {"a web address", drop({QUrl("https://example.org/a.jpg")}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Calls calls;
        PhotoPinkWindow pink(calls.handlers());
        c.act(pink);
        QApplication::processEvents();  // a drop is handed on once it has finished
        EXPECT_EQ(calls.seen, c.seen);
    }
}

TEST(PhotoWindows, ConfirmationShowsTheTextsAndThePreview) {
    testing::qtApp();
    testing::DeskScene scene;
    scene.pink = QRectF(0.1, 0.45, 0.35, 0.3);
    scene.green = QRectF(0.3, 0.08, 0.45, 0.32);
    const PhotoAnalysis analysis = PhotoAligner::analyze(testing::renderDesk(scene));
    ASSERT_TRUE(std::holds_alternative<PhotoAlignResult>(analysis));
    const auto& result = std::get<PhotoAlignResult>(analysis);
    ASSERT_EQ(result.side, Side::top);
    const auto box = photoConfirmBox(result);
    EXPECT_EQ(box->text().toStdString(), photoConfirmTexts(result).message);
    auto* preview = box->findChild<QLabel*>("preview");
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->width(), 360);
    box->show();
    EXPECT_TRUE(testing::matchesReference(box->grab().toImage(), "photo_confirm", 40, 0.03));
    box->hide();
}

}  // namespace
}  // namespace seam
