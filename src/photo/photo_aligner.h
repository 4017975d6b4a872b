// Finding the two coloured screens in a photo of the desk: which side of the
// pink (built-in) screen the green (other) screen is on, and where along the
// facing edges they meet. Works on plain RGBA bytes; decoding and scaling the
// photo are the platform's job.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "geometry/geometry.h"

namespace seam {

// Values double as the labels of the label buffer (0 is no colour).
enum class PhotoColor : std::uint8_t { pink = 1, green = 2 };

// sRGB, alpha 1: what photo mode fills the two screens with.
struct PhotoRgb {
    double r = 0;
    double g = 0;
    double b = 0;
};
inline constexpr PhotoRgb photoPink{0.88, 0.08, 0.72};
inline constexpr PhotoRgb photoGreen{0.06, 0.80, 0.36};

struct PhotoSpan {
    double low = 0;
    double high = 0;
    bool operator==(const PhotoSpan&) const = default;
};

// One 4-connected region, in pixels of the analysed image (y downward).
struct PhotoBlob {
    Rect box;  // (minX, minY, maxX - minX + 1, maxY - minY + 1)
    int pixels = 0;
    PhotoSpan top;     // x extent (smallest x, largest x + 1) of the top band
    PhotoSpan bottom;  // x extent of the bottom band
    PhotoSpan left;    // y extent (smallest y, largest y + 1) of the left band
    PhotoSpan right;   // y extent of the right band

    PhotoSpan span(Side side) const;
    bool operator==(const PhotoBlob&) const = default;
};

// width x height pixels, 4 bytes each in R, G, B, A order, rows from the top,
// alpha premultiplied.
struct PhotoImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

struct PhotoAlignResult {
    Side side = Side::top;  // where the green screen lies, seen from the pink one
    double aFrac = 0;       // meeting point along the pink screen's `side` edge, 0...1
    double bFrac = 0;       // the same along the green screen's opposite edge
    PhotoBlob a;            // pink
    PhotoBlob b;            // green
    PhotoImage image;       // the reduced image the analysis ran on
};

class PhotoAlignError {
  public:
    enum class Kind { unreadable, notFound };

    static PhotoAlignError unreadable() { return PhotoAlignError(Kind::unreadable, {}); }
    static PhotoAlignError notFound(std::string name) {
        return PhotoAlignError(Kind::notFound, std::move(name));
    }

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }  // the missing screen's
    std::string description() const;

  private:
    PhotoAlignError(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
    Kind kind_;
    std::string name_;
};

using PhotoAnalysis = std::variant<PhotoAlignResult, PhotoAlignError>;

namespace PhotoAligner {

// The longest side, in pixels, of every image analysed.
inline constexpr int maxSide = 480;

std::optional<PhotoColor> classify(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// classify for n pixels of RGBA bytes: the PhotoColor value, or 0, for each.
void labelColours(const std::uint8_t* rgba, std::size_t n, std::uint8_t* labels);

// The largest 4-connected region of `value`; of equal ones the first in scan
// order. Nothing when it has fewer than minPixels pixels.
std::optional<PhotoBlob> largestBlob(std::span<const std::uint8_t> labels, int width, int height,
                                     std::uint8_t value, int minPixels);

Side decideSide(const PhotoBlob& a, const PhotoBlob& b);
// (aFrac, bFrac)
std::pair<double, double> contact(const PhotoBlob& a, const PhotoBlob& b, Side side);

// The image should already be reduced to maxSide; it is analysed at its own size.
PhotoAnalysis analyze(PhotoImage image);

}  // namespace PhotoAligner

}  // namespace seam
