// The image bytes "--photo" and photo mode decode (JPEG, PNG, HEIC and what
// else Qt reads): loading and analysing must never fault, and what loads is
// never larger than the analysis asked for.
#include <QByteArray>
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "photo/qt/photo_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto image = seam::PhotoAligner::load(bytes);
    if (!image) return 0;
    if (image->isNull()) std::abort();
    (void)seam::PhotoAligner::analyze(*image);
    return 0;
}
