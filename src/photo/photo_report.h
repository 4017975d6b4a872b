// The printed form of an analysis result.
#pragma once

#include <string>
#include <vector>

#include "photo/photo_aligner.h"

namespace seam {

// "0.500": three decimals whatever the locale.
std::string formatFraction(double v);

// The three lines of the "--photo" job: side and fractions, the two boxes and
// the image size, and the reading in words (always Korean).
std::vector<std::string> photoResultLines(const PhotoAlignResult& result);

}  // namespace seam
