// The command line's renderings of the settings and guide windows.
#pragma once

#include <functional>
#include <string>

namespace seam {

// Runs job with a QApplication on the platform the caller chose (off screen when
// there is no display: a rendering needs none).
int withWidgets(int argc, char** argv, const std::function<int()>& job);

// The settings content with the sample monitors and layouts: 0 when the PNG
// was written, 1 otherwise.
int renderSettingsJob(const std::string& path);
// The guide with the user's keys: 1 when the PNG could not be written, else 0.
int renderGuideJob(const std::string& path);

}  // namespace seam
