#include "photo/photo_aligner.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <tuple>

#include "base/platform_words.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace seam {

namespace {
constexpr const char* kGreenName = "모니터(초록)";

// Index arithmetic stays in int: refuse pictures with more pixels than that holds.
bool pixelCount(int width, int height, std::size_t& n) {
    if (width <= 0 || height <= 0) return false;
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (count > static_cast<std::size_t>(std::numeric_limits<int>::max()) / 4) return false;
    n = count;
    return true;
}
// The value, saturation and hue tests on channel/255, done exactly in integers:
// the ratios of the byte values equal the ratios of the fractions, so every
// range end (hue 275, 345, 95 and 170, saturation 0.33) is inclusive as meant
// rather than at the mercy of rounding, and no division is needed. Returns
// the label value, 0 for no colour.
inline int colourLabel(int r, int g, int b) {
    const int mx = std::max(r, std::max(g, b));
    const int d = mx - std::min(r, std::min(g, b));
    const int coloured = (mx * 10 >= 3 * 255) & (d * 100 >= mx * 33);
    const int byRed = mx == r;
    const int byGreen = (1 - byRed) & (mx == g);
    const int byBlue = (1 - byRed) & (1 - byGreen);
    // Red largest: hue 60(g-b)/d, wrapped into 300...360 when negative; pink up to 345.
    const int pinkRed = byRed & (g < b) & (4 * (b - g) >= d);
    // Green largest: hue 60((b-r)/d + 2), 60...180; green from 95 to 170.
    const int t = 12 * (b - r);
    const int greenGreen = byGreen & (t >= -5 * d) & (t <= 10 * d);
    // Blue largest: hue 60((r-g)/d + 4), 180...300; pink from 275.
    const int pinkBlue = byBlue & (12 * (r - g) >= 7 * d);
    return coloured *
           ((pinkRed | pinkBlue) * int(PhotoColor::pink) + greenGreen * int(PhotoColor::green));
}

}  // namespace

PhotoSpan PhotoBlob::span(Side side) const {
    switch (side) {
        case Side::top:
            return top;
        case Side::bottom:
            return bottom;
        case Side::left:
            return left;
        case Side::right:
            return right;
    }
    return top;
}

std::string PhotoAlignError::description() const {
    if (kind_ == Kind::unreadable) return "사진을 읽지 못했어요.";
    return "사진에서 " + name_ +
           " 화면을 찾지 못했어요. 두 화면이 다 나오게, 너무 어둡지 않게 다시 찍어 주세요.";
}

namespace PhotoAligner {

std::optional<PhotoColor> classify(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int value = colourLabel(r, g, b);
    if (value == 0) return std::nullopt;
    return static_cast<PhotoColor>(value);
}

#if defined(__SSE2__)
namespace {
// colourLabel for eight pixels at once, in 16-bit lanes: every product of the
// tests stays below 32768.
void labelEight(const std::uint8_t* rgba, std::uint8_t* out) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba + 16));
    const __m128i byte = _mm_set1_epi32(0xFF);
    auto channel = [&](int shift) {
        const __m128i shiftBy = _mm_cvtsi32_si128(shift);
        return _mm_packs_epi32(_mm_and_si128(_mm_srl_epi32(lo, shiftBy), byte),
                               _mm_and_si128(_mm_srl_epi32(hi, shiftBy), byte));
    };
    const __m128i r = channel(0), g = channel(8), b = channel(16);
    const __m128i ones = _mm_set1_epi16(-1);
    auto times = [](__m128i v, int k) { return _mm_mullo_epi16(v, _mm_set1_epi16(short(k))); };
    auto atLeast = [&](__m128i x, __m128i y) { return _mm_xor_si128(_mm_cmpgt_epi16(y, x), ones); };

    const __m128i mx = _mm_max_epi16(r, _mm_max_epi16(g, b));
    const __m128i d = _mm_sub_epi16(mx, _mm_min_epi16(r, _mm_min_epi16(g, b)));
    const __m128i coloured = _mm_and_si128(atLeast(times(mx, 10), _mm_set1_epi16(3 * 255)),
                                           atLeast(times(d, 100), times(mx, 33)));
    const __m128i byRed = _mm_cmpeq_epi16(mx, r);
    const __m128i byGreen = _mm_andnot_si128(byRed, _mm_cmpeq_epi16(mx, g));
    const __m128i byBlue = _mm_xor_si128(_mm_or_si128(byRed, byGreen), ones);
    const __m128i pinkRed = _mm_and_si128(
        byRed, _mm_and_si128(_mm_cmpgt_epi16(b, g), atLeast(times(_mm_sub_epi16(b, g), 4), d)));
    const __m128i t = times(_mm_sub_epi16(b, r), 12);
    const __m128i greenGreen =
        _mm_and_si128(byGreen, _mm_and_si128(atLeast(t, times(d, -5)), atLeast(times(d, 10), t)));
    const __m128i pinkBlue =
        _mm_and_si128(byBlue, atLeast(times(_mm_sub_epi16(r, g), 12), times(d, 7)));
    const __m128i pink = _mm_and_si128(coloured, _mm_or_si128(pinkRed, pinkBlue));
    const __m128i green = _mm_and_si128(coloured, greenGreen);
    const __m128i label =
        _mm_or_si128(_mm_and_si128(pink, _mm_set1_epi16(short(PhotoColor::pink))),
                     _mm_and_si128(green, _mm_set1_epi16(short(PhotoColor::green))));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(label, label));
}
}  // namespace
#endif

void labelColours(const std::uint8_t* rgba, std::size_t n, std::uint8_t* labels) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) labelEight(rgba + 4 * i, labels + i);
#endif
    for (; i < n; ++i)
        labels[i] =
            static_cast<std::uint8_t>(colourLabel(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2]));
}

std::optional<PhotoBlob> largestBlob(std::span<const std::uint8_t> labels, int width, int height,
                                     std::uint8_t value, int minPixels) {
    std::size_t n = 0;
    if (!pixelCount(width, height, n) || labels.size() < n) return std::nullopt;

    // Runs of the label within each row, joined to the runs they touch in the
    // row above: the same regions as a pixel-by-pixel flood fill, found without
    // recursion and at a fraction of the cost. Runs are numbered in scan order
    // and a region is named by its lowest run, so that name also orders regions
    // by their first pixel.
    struct Run {
        int y, x0, x1;  // columns x0 <= x < x1
    };
    std::vector<Run> runs;
    std::vector<int> parent;
    auto root = [&](int i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    std::size_t previousRow = 0;  // first run of the row above
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = labels.data() + static_cast<std::size_t>(y) * width;
        const std::size_t rowStart = runs.size();
        std::size_t above = previousRow;
        for (int x = 0; x < width;) {
            if (row[x] != value) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < width && row[x] == value) ++x;
            const int self = static_cast<int>(runs.size());
            runs.push_back({y, x0, x});
            parent.push_back(self);
            // Runs above that share a column with this one (corners do not count).
            while (above < rowStart && runs[above].x1 <= x0) ++above;
            for (std::size_t k = above; k < rowStart && runs[k].x0 < x; ++k) {
                const int r1 = root(self), r2 = root(static_cast<int>(k));
                if (r1 != r2) parent[std::max(r1, r2)] = std::min(r1, r2);
            }
        }
        previousRow = rowStart;
    }

    // Pixel counts per region; the largest wins, of equal ones the first.
    std::vector<int> pixels(runs.size(), 0);
    int best = -1;
    for (std::size_t i = 0; i < runs.size(); ++i)
        pixels[root(static_cast<int>(i))] += runs[i].x1 - runs[i].x0;
    for (std::size_t i = 0; i < runs.size(); ++i)
        if (parent[i] == static_cast<int>(i) && (best < 0 || pixels[i] > pixels[best]))
            best = static_cast<int>(i);
    if (best < 0 || pixels[best] < minPixels) return std::nullopt;

    int minX = width, minY = height, maxX = -1, maxY = -1;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (root(static_cast<int>(i)) != best) continue;
        minX = std::min(minX, runs[i].x0);
        maxX = std::max(maxX, runs[i].x1 - 1);
        minY = std::min(minY, runs[i].y);
        maxY = std::max(maxY, runs[i].y);
    }
    const int bw = maxX - minX + 1;
    const int bh = maxY - minY + 1;

    // Bands 12 % deep from the extreme pixels, compared as 25 * depth <= 3 * size
    // so the band edge is exact. A run lies in the left band when its first
    // pixel does, in the right band when its last one does.
    int topLo = width, topHi = -1, bottomLo = width, bottomHi = -1;
    int leftLo = height, leftHi = -1, rightLo = height, rightHi = -1;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (root(static_cast<int>(i)) != best) continue;
        const Run& r = runs[i];
        if (25 * (r.y - minY) <= 3 * bh)
            topLo = std::min(topLo, r.x0), topHi = std::max(topHi, r.x1 - 1);
        if (25 * (maxY - r.y) <= 3 * bh)
            bottomLo = std::min(bottomLo, r.x0), bottomHi = std::max(bottomHi, r.x1 - 1);
        if (25 * (r.x0 - minX) <= 3 * bw)
            leftLo = std::min(leftLo, r.y), leftHi = std::max(leftHi, r.y);
        if (25 * (maxX - (r.x1 - 1)) <= 3 * bw)
            rightLo = std::min(rightLo, r.y), rightHi = std::max(rightHi, r.y);
    }

    PhotoBlob blob;
    blob.box = {double(minX), double(minY), double(bw), double(bh)};
    blob.pixels = pixels[best];
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
    const double gx =
        (std::max(a.minX(), b.minX()) - std::min(a.maxX(), b.maxX())) / ((a.width + b.width) / 2);
    const double gy =
        (std::max(a.minY(), b.minY()) - std::min(a.maxY(), b.maxY())) / ((a.height + b.height) / 2);
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
    labelColours(image.rgba.data(), n, labels.data());
    // Half a percent of the picture.
    const int minPixels = static_cast<int>(n / 200);
    const auto a = largestBlob(labels, image.width, image.height,
                               static_cast<std::uint8_t>(PhotoColor::pink), minPixels);
    if (!a) return PhotoAlignError::notFound(std::string(platformWords().builtinKo) + "(분홍)");
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
