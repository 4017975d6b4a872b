// The one QApplication of the widget tests, made on first use.
#pragma once

#include <QApplication>
#include <QImage>
#include <string>

namespace seam::testing {

QApplication& qtApp();

// Compares a rendering with the reference image tests/fixtures/<name>.png: the
// sizes must match and at most maxShare of the pixels may differ by more than
// tolerance in any channel. With SEAM_UPDATE_REFERENCES=1 the rendering becomes
// the reference. Writes the rendering beside the build for a look when it fails.
::testing::AssertionResult matchesReference(const QImage& image, const std::string& name,
                                            int tolerance = 40, double maxShare = 0.01);

}  // namespace seam::testing
