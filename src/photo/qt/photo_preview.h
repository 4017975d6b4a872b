// The analysed photo with both screens outlined and the meeting point marked.
#pragma once

#include <QColor>
#include <QImage>

#include "photo/photo_aligner.h"

namespace seam {

// The dot's colour: the blue that the confirmation's wording refers to.
inline const QColor kPhotoDotColor = QColor::fromRgbF(0.0f, 0.48f, 1.0f);

QColor toQColor(PhotoRgb c);

// width points wide, as tall as the image's proportions make it; a null image
// when the result holds no picture or the width is not positive.
QImage photoPreview(const PhotoAlignResult& result, double width = 360);

}  // namespace seam
