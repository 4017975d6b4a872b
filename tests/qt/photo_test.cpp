#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <cstring>
#include <sstream>

#ifdef SEAM_HAVE_HEIF
#include <libheif/heif.h>
#endif

#include "photo/photo_report.h"
#include "photo/qt/photo_job.h"
#include "photo/qt/photo_loader.h"
#include "photo/qt/photo_preview.h"
#include "qt/photo_scene.h"
#include "support/log_capture.h"

namespace seam {
namespace {

using testing::DeskScene;

// How far the fractions may be from the drawn geometry: the screens are found
// on a 480-pixel picture after perspective, bezel, noise and JPEG.
constexpr double kFracTolerance = 0.02;

struct Placement {
    const char* name;
    QRectF pink;
    QRectF green;
    Side side;
};

// The stretch of a quad's edge on one side, along that side (x for top and
// bottom, y for left and right), in picture pixels.
std::pair<double, double> edgeExtent(const QPolygonF& q, Side side) {
    auto order = [](double a, double b) { return std::pair{std::min(a, b), std::max(a, b)}; };
    switch (side) {
        case Side::top:
            return order(q[0].x(), q[1].x());
        case Side::bottom:
            return order(q[3].x(), q[2].x());
        case Side::left:
            return order(q[0].y(), q[3].y());
        case Side::right:
            return order(q[1].y(), q[2].y());
    }
    return {};
}

// Where the drawn screens meet: the middle of the shared stretch of the facing
// edges, or the nearest ends when they do not share one.
std::pair<double, double> trueFractions(const DeskScene& scene, const Placement& p) {
    const auto [a0, a1] = edgeExtent(testing::screenQuad(scene, p.pink), p.side);
    const auto [b0, b1] = edgeExtent(testing::screenQuad(scene, p.green), opposite(p.side));
    const double lo = std::max(a0, b0), hi = std::min(a1, b1);
    double pA = a1, pB = b0;
    if (lo < hi) {
        pA = pB = (lo + hi) / 2;
    } else if (b1 <= a0) {
        pA = a0;
        pB = b1;
    }
    return {(pA - a0) / (a1 - a0), (pB - b0) / (b1 - b0)};
}

const Placement kPlacements[] = {
    {"above", {0.32, 0.55, 0.36, 0.30}, {0.25, 0.08, 0.50, 0.34}, Side::top},
    {"below", {0.30, 0.10, 0.40, 0.30}, {0.20, 0.50, 0.60, 0.40}, Side::bottom},
    {"left", {0.54, 0.35, 0.40, 0.40}, {0.04, 0.20, 0.42, 0.50}, Side::left},
    {"right", {0.06, 0.40, 0.38, 0.36}, {0.52, 0.15, 0.44, 0.52}, Side::right},
    {"offset", {0.10, 0.55, 0.40, 0.30}, {0.45, 0.05, 0.50, 0.35}, Side::top},
    // Up and to the right with gaps of a like size: counts as above, corners meet.
    {"diagonal", {0.05, 0.50, 0.40, 0.30}, {0.60, 0.05, 0.35, 0.35}, Side::top},
    // Raised far above but only just beside: counts as beside.
    {"diagonal raised", {0.04, 0.62, 0.36, 0.30}, {0.46, 0.04, 0.36, 0.30}, Side::right},
};

DeskScene sceneFor(const Placement& p) {
    DeskScene scene;
    scene.pink = p.pink;
    scene.green = p.green;
    return scene;
}

PhotoAlignResult analyzed(const QByteArray& bytes) {
    const auto image = PhotoAligner::load(bytes);
    EXPECT_TRUE(image);
    if (!image) return {};
    const PhotoAnalysis analysis = PhotoAligner::analyze(*image);
    if (const auto* error = std::get_if<PhotoAlignError>(&analysis)) {
        ADD_FAILURE() << error->description();
        return {};
    }
    return std::get<PhotoAlignResult>(analysis);
}

void expectMatchesScene(const PhotoAlignResult& r, const DeskScene& scene, const Placement& p) {
    EXPECT_EQ(r.side, p.side) << rawValue(r.side);
    const auto [aTrue, bTrue] = trueFractions(scene, p);
    EXPECT_NEAR(r.aFrac, aTrue, kFracTolerance);
    EXPECT_NEAR(r.bFrac, bTrue, kFracTolerance);
    EXPECT_EQ(r.image.width, 480);
    EXPECT_EQ(r.image.height, 360);
    // The boxes are where the screens were drawn, at the reduced scale.
    const double s = 480.0 / scene.width;
    const QRectF pinkDrawn = testing::screenQuad(scene, p.pink).boundingRect();
    EXPECT_NEAR(r.a.box.x, pinkDrawn.x() * s, 3);
    EXPECT_NEAR(r.a.box.maxY(), pinkDrawn.bottom() * s, 3);
    const QRectF greenDrawn = testing::screenQuad(scene, p.green).boundingRect();
    EXPECT_NEAR(r.b.box.width, greenDrawn.width() * s, 4);
}

TEST(PhotoSceneTest, EachPlacementComesOutWithinTolerance) {
    for (const Placement& p : kPlacements) {
        SCOPED_TRACE(p.name);
        const DeskScene scene = sceneFor(p);
        expectMatchesScene(analyzed(testing::encodeJpeg(testing::renderDesk(scene), 80)), scene, p);
    }
}

TEST(PhotoSceneTest, OrientationTagIsApplied) {
    const Placement& above = kPlacements[0];
    const DeskScene scene = sceneFor(above);
    // Stored on its side; tag 6 says "turn a quarter clockwise to view".
    const QImage stored = testing::renderDesk(scene).transformed(QTransform().rotate(-90));
    ASSERT_EQ(stored.width(), scene.height);
    expectMatchesScene(analyzed(testing::encodeJpeg(stored, 85, 6)), scene, above);
    // Without the tag the same pixels read as a monitor to one side.
    EXPECT_FALSE(horizontal(analyzed(testing::encodeJpeg(stored, 85)).side));
}

#ifdef SEAM_HAVE_HEIF
// HEIC bytes stored on their side with a rotation property that turns them
// upright, so the decoder has to apply it; empty when there is no HEVC encoder.
QByteArray encodeHeic(const QImage& upright) {
    const QImage stored =
        upright.transformed(QTransform().rotate(-90)).convertToFormat(QImage::Format_RGB888);
    heif_encoder* encoder = nullptr;
    heif_context* context = heif_context_alloc();
    QByteArray out;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
        heif_error_Ok) {
        heif_image* image = nullptr;
        heif_image_create(stored.width(), stored.height(), heif_colorspace_RGB,
                          heif_chroma_interleaved_RGB, &image);
        heif_image_add_plane(image, heif_channel_interleaved, stored.width(), stored.height(), 8);
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < stored.height(); ++y)
            std::memcpy(plane + y * stride, stored.constScanLine(y), stored.width() * 3);
        heif_encoder_set_lossy_quality(encoder, 80);
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
        heif_encoding_options* options = heif_encoding_options_alloc();
        options->image_orientation = heif_orientation_rotate_90_cw;
        heif_image_handle* handle = nullptr;
        const bool encoded =
            heif_context_encode_image(context, image, encoder, options, &handle).code ==
            heif_error_Ok;
        heif_encoding_options_free(options);
        if (encoded) {
            heif_image_handle_release(handle);
            heif_writer writer{};
            writer.writer_api_version = 1;
            writer.write = [](heif_context*, const void* data, size_t size, void* userdata) {
                static_cast<QByteArray*>(userdata)->append(static_cast<const char*>(data),
                                                           qsizetype(size));
                return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
            };
            heif_context_write(context, &writer, &out);
        }
        heif_image_release(image);
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    return out;
}

TEST(PhotoSceneTest, HeicIsDecodedUpright) {
    const Placement& p = kPlacements[3];
    DeskScene scene = sceneFor(p);
    scene.width = 640;  // HEVC encoding is slow
    scene.height = 480;
    const QByteArray heic = encodeHeic(testing::renderDesk(scene));
    if (heic.isEmpty()) GTEST_SKIP() << "no HEVC encoder";
    expectMatchesScene(analyzed(heic), scene, p);
    // From a file, whatever its name says.
    testing::TempDir dir;
    const QString path = QString::fromStdString(dir.path()) + "/IMG_0002.JPG";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(heic);
    file.close();
    const auto image = PhotoAligner::load(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(480, 360));
}
#endif

TEST(PhotoLoadTest, SizesComeDownToTheMaximumSide) {
    struct Case {
        QSize stored;
        QSize loaded;
    };
    const Case cases[] = {
        {{1200, 900}, {480, 360}},  // decoded at a reduced scale
        {{600, 1800}, {160, 480}},  // portrait
        {{480, 200}, {480, 200}},   // already small enough: its own size
        {{320, 240}, {320, 240}},   // smaller still
        {{6000, 7}, {480, 1}},      // thin, but never zero pixels across
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.width());
        QImage image(c.stored, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 160));
        for (const char* format : {"JPEG", "PNG"}) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            ASSERT_TRUE(image.save(&buffer, format, 95));  // light PNG compression: fast
            const auto loaded = PhotoAligner::load(bytes);
            ASSERT_TRUE(loaded) << format;
            EXPECT_EQ(loaded->size(), c.loaded) << format;
            // The filter keeps a flat colour flat.
            EXPECT_NEAR(qRed(loaded->pixel(loaded->width() / 2, 0)), 200, 6) << format;
        }
    }
}

TEST(PhotoLoadTest, ReductionAveragesRatherThanPicks) {
    // One-pixel black and white columns come out grey, not black or white.
    QImage stripes(1500, 1000, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(stripes.scanLine(y));
        for (int x = 0; x < stripes.width(); ++x)
            line[x] = x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    for (const char* format : {"PNG", "JPEG"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(stripes.save(&buffer, format, 95));
        const auto loaded = PhotoAligner::load(bytes);
        ASSERT_TRUE(loaded);
        ASSERT_EQ(loaded->size(), QSize(480, 320));
        // Each reduced pixel covers about three columns: a third to two thirds white.
        for (int x = 0; x < loaded->width(); x += 7) {
            const int grey = qGray(loaded->pixel(x, 160));
            EXPECT_GT(grey, 70) << format << " x " << x;
            EXPECT_LT(grey, 185) << format << " x " << x;
        }
    }
}

TEST(PhotoLoadTest, WhatIsNotAnImageIsUnreadable) {
    testing::TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    QImage small(64, 48, QImage::Format_RGB32);
    small.fill(Qt::white);
    QByteArray jpeg = testing::encodeJpeg(small, 90);
    // A PNG header claiming 100000 x 100000 pixels with no picture behind it.
    QByteArray hugePng("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0",
                       29);
    const QByteArray cases[] = {
        {},
        QByteArray("not a picture at all, just some words in a file"),
        jpeg.left(2),
        hugePng,
        QByteArray("\0\0\0\x18"
                   "ftypheic\0\0\0\0heicmif1",
                   24),  // a HEIC header only
    };
    int i = 0;
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(i++);
        EXPECT_FALSE(PhotoAligner::load(bytes));
        const QString path = folder + "/case" + QString::number(i);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        EXPECT_FALSE(PhotoAligner::load(path));
    }
    EXPECT_FALSE(PhotoAligner::load(folder + "/missing.jpg"));
    EXPECT_FALSE(PhotoAligner::load(folder));  // a folder
}

PhotoAlignResult sampleResult() {
    const Placement& p = kPlacements[4];  // offset
    return analyzed(testing::encodeJpeg(testing::renderDesk(sceneFor(p)), 90));
}

TEST(PhotoPreviewTest, DrawsTheBoxesAndTheDotAtTheMeetingPoint) {
    const PhotoAlignResult r = sampleResult();
    ASSERT_EQ(r.side, Side::top);
    for (double width : {360.0, 700.0}) {
        SCOPED_TRACE(width);
        const QImage preview = photoPreview(r, width);
        const double s = width / r.image.width;
        ASSERT_EQ(preview.width(), int(width));
        EXPECT_EQ(preview.height(), int(std::lround(r.image.height * s)));
        const PhotoSpan span = r.a.top;
        const QPoint dot(int(std::lround((span.low + r.aFrac * (span.high - span.low)) * s)),
                         int(std::lround(r.a.box.y * s)));
        EXPECT_EQ(preview.pixelColor(dot).rgb(), kPhotoDotColor.rgb());
        // The white ring around the dot.
        const QColor ring = preview.pixelColor(dot + QPoint(0, 8));
        EXPECT_GT(std::min({ring.red(), ring.green(), ring.blue()}), 180);
        // The green box's outline runs along its left side, half way down.
        const QPoint outline(int(std::lround(r.b.box.x * s)), int(std::lround(r.b.box.midY() * s)));
        const QColor c = preview.pixelColor(outline);
        EXPECT_GT(c.green(), 150);
        EXPECT_GT(c.green(), c.red() + 40);
        // Inside the pink screen the photo shows through.
        const QColor inside = preview.pixelColor(int(r.a.box.midX() * s), int(r.a.box.midY() * s));
        EXPECT_EQ(PhotoAligner::classify(inside.red(), inside.green(), inside.blue()),
                  PhotoColor::pink);
    }
    EXPECT_TRUE(photoPreview(r, 0).isNull());
    EXPECT_TRUE(photoPreview(PhotoAlignResult{}, 700).isNull());
}

struct JobRun {
    JobResult result;
    std::string errors;
};

JobRun runJob(const QString& path, std::optional<std::string> preview = std::nullopt) {
    std::ostringstream errors;
    JobResult result = photoJob(path.toStdString(), preview, errors);
    return {std::move(result), errors.str()};
}

TEST(PhotoJobTest, PrintsTheResultAndWritesThePreview) {
    testing::TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    const QString photo = folder + "/IMG_0001.JPG";
    {
        QFile file(photo);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testing::encodeJpeg(testing::renderDesk(sceneFor(kPlacements[0])), 85));
    }
    const auto expected =
        std::get<PhotoAlignResult>(PhotoAligner::analyze(*PhotoAligner::load(photo)));

    const std::string preview = dir.path() + "/preview.png";
    const JobRun run = runJob(photo, preview);
    EXPECT_EQ(run.result.exitCode, 0);
    EXPECT_EQ(run.result.lines, photoResultLines(expected));
    QImageReader written(QString::fromStdString(preview));
    EXPECT_EQ(written.format(), "png");
    EXPECT_EQ(written.size(), QSize(700, 525));
    EXPECT_TRUE(run.errors.empty());

    // No preview asked for: nothing written, same lines.
    EXPECT_EQ(runJob(photo).result.lines, run.result.lines);

    // A preview that cannot be written still prints the result.
    const JobRun blocked = runJob(photo, dir.path() + "/no/such/folder/p.png");
    EXPECT_EQ(blocked.result.exitCode, 1);
    EXPECT_EQ(blocked.result.lines, run.result.lines);
    EXPECT_NE(blocked.errors.find("no/such/folder/p.png"), std::string::npos);
}

TEST(PhotoJobTest, UnreadableAndFailedPhotos) {
    testing::TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    const JobRun missing = runJob(folder + "/missing.heic", "out.png");
    EXPECT_EQ(missing.result.lines, std::vector<std::string>{"unreadable"});
    EXPECT_EQ(missing.result.exitCode, 2);

    DeskScene onlyPink;
    onlyPink.pink = kPlacements[0].pink;
    const QString photo = folder + "/pink.jpg";
    {
        QFile file(photo);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testing::encodeJpeg(testing::renderDesk(onlyPink), 85));
    }
    const JobRun failed = runJob(photo, dir.path() + "/p.png");
    EXPECT_EQ(
        failed.result.lines,
        std::vector<std::string>{"fail: 사진에서 모니터(초록) 화면을 찾지 못했어요. 두 화면이 "
                                 "다 나오게, 너무 어둡지 않게 다시 찍어 주세요."});
    EXPECT_EQ(failed.result.exitCode, 1);
    EXPECT_FALSE(QFile::exists(folder + "/p.png"));
}

}  // namespace
}  // namespace seam
