// Reading a photo into the small upright picture the analysis runs on.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

#include "photo/photo_aligner.h"

namespace seam::PhotoAligner {

// JPEG, PNG, HEIC and whatever else Qt reads, with the orientation tag applied
// and at most maxSide pixels on the longer side. JPEG is decoded at a reduced
// scale, so a large photo is never decoded whole. Nothing when it cannot be read.
std::optional<QImage> load(const QString& path);
std::optional<QImage> load(const QByteArray& data);

// Reduced to at most maxSide on the longer side with a smooth (area) filter;
// an image that is small enough is returned as it is.
QImage downscale(const QImage& image);

// The image's pixels as premultiplied RGBA bytes, and back.
PhotoImage pixels(const QImage& image);
QImage toQImage(const PhotoImage& image);

// downscale, then the analysis on the bytes.
PhotoAnalysis analyze(const QImage& image);

}  // namespace seam::PhotoAligner
