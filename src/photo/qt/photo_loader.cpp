#include "photo/qt/photo_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <memory>

#ifdef SEAM_HAVE_HEIF
#include <libheif/heif.h>
#endif

namespace seam::PhotoAligner {

namespace {

// The size with its longer side brought down to maxSide, the other truncated.
QSize reducedSize(QSize s) {
    const int longer = std::max(s.width(), s.height());
    if (longer <= maxSide) return s;
    // Integer arithmetic: the longer side comes out at exactly maxSide, and a
    // very thin picture keeps at least one pixel across.
    auto shorter = [&](int v) {
        return std::max(1, static_cast<int>(static_cast<qint64>(v) * maxSide / longer));
    };
    return s.width() >= s.height() ? QSize(maxSide, shorter(s.height()))
                                   : QSize(shorter(s.width()), maxSide);
}

std::optional<QImage> readWithQt(QImageReader& reader) {
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid()) {
        if (stored.isEmpty()) return std::nullopt;
        // The JPEG reader turns this into its scaled decoding. The maximum side
        // does not care whether the orientation swaps the sides.
        const QSize target = reducedSize(stored);
        if (target != stored) reader.setScaledSize(target);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) return std::nullopt;
    return downscale(image);  // readers that ignore the scaled size
}

#ifdef SEAM_HAVE_HEIF
// Full-size HEIC decoding has no reduced mode: refuse pictures whose decoded
// bytes would be out of all proportion to a photo.
constexpr qint64 kMaxHeifPixels = 120'000'000;

bool isHeif(const QByteArray& head) {
    if (head.size() < 12) return false;
    const heif_filetype_result kind =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), head.size());
    return kind == heif_filetype_yes_supported || kind == heif_filetype_maybe;
}

struct HeifDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
    void operator()(heif_image* i) const { heif_image_release(i); }
};
template <typename T>
using HeifPtr = std::unique_ptr<T, HeifDeleter>;

// The primary image, with its rotation and mirroring applied by the decoder.
std::optional<QImage> decodeHeif(heif_context* context) {
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context, &rawHandle).code != heif_error_Ok)
        return std::nullopt;
    HeifPtr<heif_image_handle> handle(rawHandle);
    const qint64 w = heif_image_handle_get_width(rawHandle);
    const qint64 h = heif_image_handle_get_height(rawHandle);
    if (w <= 0 || h <= 0 || w * h > kMaxHeifPixels) return std::nullopt;

    heif_image* rawImage = nullptr;
    if (heif_decode_image(rawHandle, &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                          nullptr)
            .code != heif_error_Ok)
        return std::nullopt;
    HeifPtr<heif_image> image(rawImage);
    int stride = 0;
    const uint8_t* data =
        heif_image_get_plane_readonly(rawImage, heif_channel_interleaved, &stride);
    const int iw = heif_image_get_width(rawImage, heif_channel_interleaved);
    const int ih = heif_image_get_height(rawImage, heif_channel_interleaved);
    if (!data || iw <= 0 || ih <= 0 || stride < iw * 4) return std::nullopt;
    const QImage wrapped(data, iw, ih, stride, QImage::Format_RGBA8888);
    QImage reduced = downscale(wrapped);
    // A small picture comes back as the wrapper of the decoder's memory.
    if (reduced.constBits() == wrapped.constBits()) reduced = wrapped.copy();
    return reduced;
}

std::optional<QImage> loadHeifFile(const QString& path) {
    HeifPtr<heif_context> context(heif_context_alloc());
    if (!context) return std::nullopt;
    const QByteArray name = QFile::encodeName(path);
    if (heif_context_read_from_file(context.get(), name.constData(), nullptr).code != heif_error_Ok)
        return std::nullopt;
    return decodeHeif(context.get());
}

std::optional<QImage> loadHeifData(const QByteArray& data) {
    HeifPtr<heif_context> context(heif_context_alloc());
    if (!context) return std::nullopt;
    if (heif_context_read_from_memory_without_copy(context.get(), data.constData(), data.size(),
                                                   nullptr)
            .code != heif_error_Ok)
        return std::nullopt;
    return decodeHeif(context.get());
}
#endif

}  // namespace

std::optional<QImage> load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
#ifdef SEAM_HAVE_HEIF
    if (isHeif(file.peek(64))) return loadHeifFile(path);
#endif
    QImageReader reader(&file);
    return readWithQt(reader);
}

std::optional<QImage> load(const QByteArray& data) {
    if (data.isEmpty()) return std::nullopt;
#ifdef SEAM_HAVE_HEIF
    if (isHeif(data.left(64))) return loadHeifData(data);
#endif
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) return std::nullopt;
    QImageReader reader(&buffer);
    return readWithQt(reader);
}

QImage downscale(const QImage& image) {
    const QSize target = reducedSize(image.size());
    if (target == image.size()) return image;
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

PhotoImage pixels(const QImage& image) {
    PhotoImage out;
    if (image.isNull()) return out;
    // Drawing over nothing: transparent parts count as black, as in any
    // premultiplied bitmap.
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    out.width = rgba.width();
    out.height = rgba.height();
    const std::size_t row = static_cast<std::size_t>(out.width) * 4;
    out.rgba.resize(row * static_cast<std::size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.rgba.data() + row * y, rgba.constScanLine(y), row);
    return out;
}

QImage toQImage(const PhotoImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        return {};
    QImage out(image.width, image.height, QImage::Format_RGBA8888_Premultiplied);
    if (out.isNull()) return {};
    const std::size_t row = static_cast<std::size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(out.scanLine(y), image.rgba.data() + row * y, row);
    return out;
}

PhotoAnalysis analyze(const QImage& image) {
    if (image.isNull()) return PhotoAlignError::unreadable();
    return analyze(pixels(downscale(image)));
}

}  // namespace seam::PhotoAligner
