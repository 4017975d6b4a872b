// Tuning constants of the pointer engine. Times are seconds of uptime,
// distances are points of global display space.
#pragma once

namespace seam::Config {

inline constexpr double edgeTol = 1.5;
inline constexpr double bumpPush = 120;
inline constexpr double releaseGap = 0.25;
inline constexpr double aimWindow = 3.0;
inline constexpr double sameAimFrac = 0.3;
inline constexpr double sliderClamp = 0.1;
inline constexpr double cooldown = 1.5;
inline constexpr double restGap = 0.15;
inline constexpr double warpInset = 60;
inline constexpr double boundaryReturn = 0.5;
inline constexpr double boundaryMinDepth = 8;
inline constexpr double boundaryMaxDepth = 200;
inline constexpr double boundaryWindow = 1.5;
inline constexpr double settle = 0.35;
inline constexpr int alignMinSamples = 6;
inline constexpr int alignKeep = 8;
inline constexpr double alignAgree = 0.7;
inline constexpr double alignMinShift = 40;
inline constexpr double alignGain = 0.6;
inline constexpr double alignMaxStep = 150;
inline constexpr double alignMinOverlap = 0.2;

}  // namespace seam::Config
