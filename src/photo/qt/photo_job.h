// The "--photo" job: analyse a photo file, print the result, optionally write
// the preview.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "base/diagnostics.h"

namespace seam {

inline constexpr double kCommandPreviewWidth = 700;

// Exit 2 when the file is not a readable image, 1 when the analysis fails or
// the preview cannot be written, else 0. Reasons beyond the printed lines go
// to errors.
JobResult photoJob(const std::string& path, const std::optional<std::string>& previewPath,
                   std::ostream& errors);

}  // namespace seam
