#include "photo/photo_aligner.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <tuple>

namespace seam {

namespace {
constexpr const char* kPinkName = "맥북(분홍)";
constexpr const char* kGreenName = "모니터(초록)";

// Index arithmetic stays in int: refuse pictures with more pixels than that holds.
bool pixelCount(int width, int height, std::size_t& n) {
    if (width <= 0 || height <= 0) return false;
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (count > static_cast<std::size_t>(std::numeric_limits<int>::max()) / 4) return false;
    n = count;
    return true;
}
}  // namespace

PhotoSpan PhotoBlob::span(Side side) const {
    switch (side) {
        case Side::top: return top;
        case Side::bottom: return bottom;
        case Side::left: return left;
        case Side::right: return right;
    }
    return top;
}

std::string PhotoAlignError::description() const {
    if (kind_ == Kind::unreadable) return "사진을 읽지 못했어요.";
    return "사진에서 " + name_ +
           " 화면을 찾지 못했어요. 두 화면이 다 나오게, 너무 어둡지 않게 다시 찍어 주세요.";
}

namespace PhotoAligner {

// The value, saturation and hue tests on channel/255, done exactly in integers:
// the ratios of the byte values equal the ratios of the fractions, so every
// range end (hue 275, 345, 95 and 170, saturation 0.33) is inclusive as meant
// rather than at the mercy of rounding, and no division is needed per pixel.
std::optional<PhotoColor> classify(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int R = r, G = g, B = b;
    const int mx = std::max({R, G, B});
    if (mx * 10 < 3 * 255) return std::nullopt;  // darker than 0.3
    const int d = mx - std::min({R, G, B});
    if (d * 100 < mx * 33) return std::nullopt;  // greyer than 0.33
    if (mx == R) {
        // Hue 60(g-b)/d, wrapped into 300...360 when negative: pink up to 345.
        if (G < B && 4 * (B - G) >= d) return PhotoColor::pink;
        return std::nullopt;
    }
    if (mx == G) {
        // Hue 60((b-r)/d + 2), 60...180: green from 95 to 170.
        const int t = 12 * (B - R);
        if (t >= -5 * d && t <= 10 * d) return PhotoColor::green;
        return std::nullopt;
    }
    // Hue 60((r-g)/d + 4), 180...300: pink from 275.
    if (12 * (R - G) >= 7 * d) return PhotoColor::pink;
    return std::nullopt;
}

std::optional<PhotoBlob> largestBlob(std::span<const std::uint8_t> labels, int width, int height,
                                     std::uint8_t value, int minPixels) {
    std::size_t count = 0;
    if (!pixelCount(width, height, count) || labels.size() < count) return std::nullopt;
    const int n = static_cast<int>(count);

    std::vector<std::uint8_t> visited(count, 0);
    std::vector<int> stack;
    std::vector<int> component;
    std::vector<int> best;
    // An explicit stack: a region can hold every pixel of the picture.
    for (int i = 0; i < n; ++i) {
        if (labels[i] != value || visited[i]) continue;
        visited[i] = 1;
        stack.push_back(i);
        component.clear();
        while (!stack.empty()) {
            const int j = stack.back();
            stack.pop_back();
            component.push_back(j);
            const int x = j % width;
            const int y = j / width;
            auto visit = [&](int k) {
                if (labels[k] == value && !visited[k]) {
                    visited[k] = 1;
                    stack.push_back(k);
                }
            };
            if (x >= 1) visit(j - 1);
            if (x < width - 1) visit(j + 1);
            if (y >= 1) visit(j - width);
            if (y < height - 1) visit(j + width);
        }
        // Strictly more: of equal regions the one found first stays.
        if (component.size() > best.size()) std::swap(best, component);
    }
    if (best.empty() || best.size() < static_cast<std::size_t>(std::max(minPixels, 0)))
        return std::nullopt;

    int minX = width, minY = height, maxX = -1, maxY = -1;
    for (int j : best) {
        const int x = j % width, y = j / width;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    const int bw = maxX - minX + 1;
    const int bh = maxY - minY + 1;

    // Bands 12 % deep from the extreme pixels, compared as 25 * depth <= 3 * size
    // so the band edge is exact.
    int topLo = width, topHi = -1, bottomLo = width, bottomHi = -1;
    int leftLo = height, leftHi = -1, rightLo = height, rightHi = -1;
    for (int j : best) {
        const int x = j % width, y = j / width;
        if (25 * (y - minY) <= 3 * bh) topLo = std::min(topLo, x), topHi = std::max(topHi, x);
        if (25 * (maxY - y) <= 3 * bh)
            bottomLo = std::min(bottomLo, x), bottomHi = std::max(bottomHi, x);
        if (25 * (x - minX) <= 3 * bw) leftLo = std::min(leftLo, y), leftHi = std::max(leftHi, y);
        if (25 * (maxX - x) <= 3 * bw)
            rightLo = std::min(rightLo, y), rightHi = std::max(rightHi, y);
    }

    PhotoBlob blob;
    blob.box = {double(minX), double(minY), double(bw), double(bh)};
    blob.pixels = static_cast<int>(best.size());
    blob.top = {double(topLo), double(topHi + 1)};
    blob.bottom = {double(bottomLo), double(bottomHi + 1)};
    blob.left = {double(leftLo), double(leftHi + 1)};
    blob.right = {double(rightLo), double(rightHi + 1)};
    return blob;
}

Side decideSide(const PhotoBlob& pink, const PhotoBlob& green) {
    const Rect& a = pink.box;
    const Rect& b = green.box;
    const double ox = std::min(a.maxX(), b.maxX()) - std::max(a.minX(), b.minX());
    const double oy = std::min(a.maxY(), b.maxY()) - std::max(a.minY(), b.minY());
    const Side vertical = b.midY() >= a.midY() ? Side::bottom : Side::top;
    const Side horizontal = b.midX() < a.midX() ? Side::left : Side::right;

    if (ox > 0) {
        if (b.maxY() <= a.midY() || b.minY() >= a.midY()) return vertical;
        // The green box reaches across the pink one's middle height.
        return oy > 0 ? horizontal : vertical;
    }
    if (oy > 0) return horizontal;
    if (!(b.maxY() <= a.minY()) && !(a.maxY() <= b.minY())) return horizontal;
    // Diagonal: compare the gaps, each relative to the mean size along its axis.
    const double gx = (std::max(a.minX(), b.minX()) - std::min(a.maxX(), b.maxX())) /
                      ((a.width + b.width) / 2);
    const double gy = (std::max(a.minY(), b.minY()) - std::min(a.maxY(), b.maxY())) /
                      ((a.height + b.height) / 2);
    return gy > 1.5 * gx ? horizontal : vertical;
}

std::pair<double, double> contact(const PhotoBlob& a, const PhotoBlob& b, Side side) {
    const auto [a0, a1] = a.span(side);
    const auto [b0, b1] = b.span(opposite(side));
    const double lo = std::max(a0, b0);
    const double hi = std::min(a1, b1);
    double pA, pB;
    if (lo < hi) {
        pA = pB = (lo + hi) / 2;  // the middle of the shared stretch
    } else if (b1 <= a0) {
        pA = a0;  // the green extent lies before the pink one: the nearest ends
        pB = b1;
    } else {
        pA = a1;
        pB = b0;
    }
    const double aFrac = std::clamp((pA - a0) / std::max(a1 - a0, 1.0), 0.0, 1.0);
    const double bFrac = std::clamp((pB - b0) / std::max(b1 - b0, 1.0), 0.0, 1.0);
    return {aFrac, bFrac};
}

PhotoAnalysis analyze(PhotoImage image) {
    std::size_t n = 0;
    if (!pixelCount(image.width, image.height, n) || image.rgba.size() != n * 4)
        return PhotoAlignError::unreadable();

    std::vector<std::uint8_t> labels(n, 0);
    const std::uint8_t* px = image.rgba.data();
    for (std::size_t i = 0; i < n; ++i, px += 4) {
        if (auto c = classify(px[0], px[1], px[2])) labels[i] = static_cast<std::uint8_t>(*c);
    }
    // Half a percent of the picture.
    const int minPixels = static_cast<int>(n / 200);
    const auto a = largestBlob(labels, image.width, image.height,
                               static_cast<std::uint8_t>(PhotoColor::pink), minPixels);
    if (!a) return PhotoAlignError::notFound(kPinkName);
    const auto b = largestBlob(labels, image.width, image.height,
                               static_cast<std::uint8_t>(PhotoColor::green), minPixels);
    if (!b) return PhotoAlignError::notFound(kGreenName);

    PhotoAlignResult result;
    result.side = decideSide(*a, *b);
    std::tie(result.aFrac, result.bFrac) = contact(*a, *b, result.side);
    result.a = *a;
    result.b = *b;
    result.image = std::move(image);
    return result;
}

}  // namespace PhotoAligner

}  // namespace seam
