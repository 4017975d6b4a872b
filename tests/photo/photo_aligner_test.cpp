#include "photo/photo_aligner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "photo/photo_report.h"

namespace seam {
namespace {

using PhotoAligner::classify;
using PhotoAligner::contact;
using PhotoAligner::decideSide;
using PhotoAligner::largestBlob;

constexpr auto pink = PhotoColor::pink;
constexpr auto green = PhotoColor::green;

// Exactly on the range ends and just past them; the exhaustive comparison
// below skips these.
TEST(PhotoClassifyTest, RangeEnds) {
    struct Case {
        int r, g, b;
        std::optional<PhotoColor> expected;
        const char* why;
    };
    const Case cases[] = {
        {140, 0, 240, pink, "hue 275"},
        {139, 0, 240, std::nullopt, "hue 274.75"},
        {200, 0, 50, pink, "hue 345"},
        {200, 0, 49, std::nullopt, "hue 345.3"},
        {100, 240, 0, green, "hue 95"},
        {101, 240, 0, std::nullopt, "hue 94.75"},
        {0, 240, 200, green, "hue 170"},
        {0, 240, 201, std::nullopt, "hue 170.25"},
        // Brightness: the largest channel must reach 0.3 (77 of 255).
        {77, 0, 20, pink, "just bright enough"},
        {76, 0, 19, std::nullopt, "just too dark"},
        // Saturation 0.33 exactly, and just below.
        {200, 134, 151, pink, "saturation 0.33"},
        {200, 135, 152, std::nullopt, "saturation 0.325"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classify(c.r, c.g, c.b), c.expected)
            << c.why << " (" << c.r << ", " << c.g << ", " << c.b << ")";
    }
}

// The colour test written the obvious way, on fractions in floating point.
// Away from the range ends the two must agree on every colour.
TEST(PhotoClassifyTest, AgreesWithTheFloatingPointFormulaAwayFromTheEnds) {
    int compared = 0;
    for (int R = 0; R < 256; ++R)
        for (int G = 0; G < 256; ++G)
            for (int B = 0; B < 256; ++B) {
                const double r = R / 255.0, g = G / 255.0, b = B / 255.0;
                const double mx = std::max({r, g, b}), d = mx - std::min({r, g, b});
                std::optional<PhotoColor> want;
                bool nearEnd = std::abs(mx - 0.3) < 1e-9;
                if (mx >= 0.3 && d > 0) {
                    nearEnd |= std::abs(d / mx - 0.33) < 1e-9;
                    if (d / mx >= 0.33) {
                        double h = mx == r   ? (g - b) / d
                                   : mx == g ? (b - r) / d + 2
                                             : (r - g) / d + 4;
                        h *= 60;
                        if (h < 0) h += 360;
                        for (double end : {275.0, 345.0, 95.0, 170.0})
                            nearEnd |= std::abs(h - end) < 1e-9;
                        if (h >= 275 && h <= 345) want = PhotoColor::pink;
                        if (h >= 95 && h <= 170) want = PhotoColor::green;
                    }
                }
                if (nearEnd) continue;
                ++compared;
                if (classify(R, G, B) != want) {
                    ADD_FAILURE() << "(" << R << ", " << G << ", " << B << ")";
                    return;
                }
            }
    EXPECT_GT(compared, 16'000'000);
}

TEST(PhotoClassifyTest, LabellingAPictureAgreesWithClassifyOnEveryColour) {
    std::vector<std::uint8_t> rgba(256 * 256 * 4, 255), labels(256 * 256);
    for (int r = 0; r < 256; ++r) {
        for (int i = 0; i < 256 * 256; ++i) {
            rgba[4 * i] = std::uint8_t(r);
            rgba[4 * i + 1] = std::uint8_t(i >> 8);
            rgba[4 * i + 2] = std::uint8_t(i);
        }
        // An odd count, so the pixels after the last full group are labelled too.
        const std::size_t n = labels.size() - (r % 8);
        PhotoAligner::labelColours(rgba.data(), n, labels.data());
        for (std::size_t i = 0; i < n; ++i) {
            const auto c = classify(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2]);
            if (labels[i] != (c ? int(*c) : 0)) {
                ADD_FAILURE() << "(" << r << ", " << (i >> 8) << ", " << (i & 255) << ")";
                return;
            }
        }
    }
}

// A label picture drawn as text: 'p' pink, 'g' green, anything else nothing.
struct Labels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;
};
Labels labels(const std::vector<std::string>& rows) {
    Labels out{int(rows[0].size()), int(rows.size()), {}};
    for (const auto& row : rows)
        for (char c : row) out.bytes.push_back(c == 'p' ? 1 : c == 'g' ? 2 : 0);
    return out;
}
std::optional<PhotoBlob> largest(const Labels& l, std::uint8_t value, int minPixels = 1) {
    return largestBlob(l.bytes, l.width, l.height, value, minPixels);
}

TEST(PhotoBlobTest, MinimumSizeAndMissingColour) {
    const Labels l = labels({"ppp.", "p...", "...."});
    EXPECT_TRUE(largest(l, 1, 4));
    EXPECT_FALSE(largest(l, 1, 5));
    EXPECT_FALSE(largest(l, 2, 0));  // no green at all
    // Buffers shorter than the picture they claim are refused.
    EXPECT_FALSE(largestBlob(std::span(l.bytes).first(5), l.width, l.height, 1, 1));
    EXPECT_FALSE(largestBlob(l.bytes, 0, 3, 1, 1));
}

TEST(PhotoBlobTest, BandsAreTwelvePercentFromTheExtremePixels) {
    // 25 rows and 25 columns: each band is 3 pixels deep past the extreme one.
    std::vector<std::string> rows(25, std::string(27, '.'));
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x)
            if (x + y >= 6) rows[y][x + 1] = 'p';  // a square with its top-left corner cut off
    const auto blob = largest(labels(rows), 1);
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->box, (Rect{1, 0, 25, 25}));
    // Top band rows 0..3: row 0 starts at x 6+1, row 3 at x 3+1.
    EXPECT_EQ(blob->top, (PhotoSpan{4, 26}));
    EXPECT_EQ(blob->bottom, (PhotoSpan{1, 26}));
    EXPECT_EQ(blob->left, (PhotoSpan{3, 25}));  // columns 1..4 reach up to row 3
    EXPECT_EQ(blob->right, (PhotoSpan{0, 25}));
}

TEST(PhotoBlobTest, WholePictureSnakeNeedsNoRecursion) {
    // One region winding through every row of a 480 x 480 picture.
    const int n = 480;
    std::vector<std::uint8_t> bytes(n * n, 0);
    int count = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const bool joint = (y % 4 == 1 && x == n - 1) || (y % 4 == 3 && x == 0);
            if (y % 2 == 0 || joint) bytes[y * n + x] = 1, ++count;
        }
    const auto blob = largestBlob(bytes, n, n, 1, 1);
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->pixels, count);
}

// A plain breadth-first flood fill, pixel by pixel, to hold the region search to:
// four-way joins, the first of equal regions in scan order, 12% bands.
std::optional<PhotoBlob> referenceBlob(const std::vector<std::uint8_t>& l, int w, int h,
                                       std::uint8_t value) {
    std::vector<bool> seen(l.size());
    std::vector<int> best;
    for (int i = 0; i < w * h; ++i) {
        if (l[i] != value || seen[i]) continue;
        std::vector<int> region;
        std::queue<int> todo;
        todo.push(i);
        seen[i] = true;
        while (!todo.empty()) {
            const int j = todo.front();
            todo.pop();
            region.push_back(j);
            const int x = j % w, y = j / w;
            for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                const int k = ny * w + nx;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[k] || l[k] != value) continue;
                seen[k] = true;
                todo.push(k);
            }
        }
        if (region.size() > best.size()) best = region;
    }
    if (best.empty()) return std::nullopt;
    int x0 = w, y0 = h, x1 = 0, y1 = 0;
    for (int j : best) {
        x0 = std::min(x0, j % w), x1 = std::max(x1, j % w);
        y0 = std::min(y0, j / w), y1 = std::max(y1, j / w);
    }
    const double bw = x1 - x0 + 1, bh = y1 - y0 + 1;
    PhotoBlob b;
    b.box = {double(x0), double(y0), bw, bh};
    b.pixels = int(best.size());
    b.top = b.bottom = {double(w), -1};
    b.left = b.right = {double(h), -1};
    auto widen = [](PhotoSpan& s, int v) {
        s.low = std::min(s.low, double(v));
        s.high = std::max(s.high, double(v + 1));
    };
    for (int j : best) {
        const int x = j % w, y = j / w;
        if (y - y0 <= 0.12 * bh + 1e-9) widen(b.top, x);
        if (y1 - y <= 0.12 * bh + 1e-9) widen(b.bottom, x);
        if (x - x0 <= 0.12 * bw + 1e-9) widen(b.left, y);
        if (x1 - x <= 0.12 * bw + 1e-9) widen(b.right, y);
    }
    return b;
}

TEST(PhotoBlobTest, AgreesWithAPlainFloodFillOnRandomPictures) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
        const int density = 30 + int(rng() % 50);  // percent of pixels coloured
        std::vector<std::uint8_t> l(std::size_t(w) * h);
        for (auto& v : l) v = int(rng() % 100) < density ? 1 + rng() % 2 : 0;
        for (std::uint8_t value : {1, 2}) {
            SCOPED_TRACE(::testing::Message() << "round " << round << " value " << int(value));
            const auto got = largestBlob(l, w, h, value, 1);
            const auto want = referenceBlob(l, w, h, value);
            ASSERT_EQ(got.has_value(), want.has_value());
            if (got) {
                EXPECT_EQ(*got, *want);
            }
        }
    }
}

PhotoBlob boxed(double x, double y, double w, double h) {
    PhotoBlob b;
    b.box = {x, y, w, h};
    b.top = b.bottom = {x, x + w};
    b.left = b.right = {y, y + h};
    return b;
}

TEST(PhotoSideTest, Rules) {
    struct Case {
        const char* what;
        PhotoBlob green;
        Side expected;
    };
    const PhotoBlob a = boxed(100, 100, 100, 60);  // mid (150, 130)
    const Case cases[] = {
        {"right, overlapping vertically", boxed(220, 80, 120, 80), Side::right},
        {"left, overlapping vertically", boxed(0, 120, 80, 80), Side::left},
        {"touching on the right", boxed(200, 110, 50, 40), Side::right},
        {"directly below", boxed(110, 170, 80, 50), Side::bottom},
        {"directly above", boxed(60, 0, 200, 90), Side::top},
        {"above, reaching down to the middle height", boxed(60, 0, 200, 130), Side::top},
        {"across the middle height on the right", boxed(180, 120, 100, 60), Side::right},
        {"across the middle height on the left", boxed(20, 90, 100, 60), Side::left},
        {"below-right, equal gaps", boxed(220, 172, 100, 60), Side::bottom},
        {"above-left, equal gaps", boxed(-20, 28, 100, 60), Side::top},
        {"below-right, vertical gap over 1.5 times", boxed(210, 180, 100, 60), Side::right},
        {"above-left, vertical gap over 1.5 times", boxed(-10, 10, 100, 60), Side::left},
    };
    for (const Case& c : cases) EXPECT_EQ(decideSide(a, c.green), c.expected) << c.what;
    // Gaps of 0.25 and 0.375 of the sizes, exact in binary: 1.5 times is not more.
    const PhotoBlob square = boxed(0, 0, 100, 64);
    EXPECT_EQ(decideSide(square, boxed(125, 88, 100, 64)), Side::bottom);
    EXPECT_EQ(decideSide(square, boxed(125, 89, 100, 64)), Side::right);
}

TEST(PhotoContactTest, Rules) {
    struct Case {
        const char* what;
        PhotoSpan pink;   // the pink region's band on the side
        PhotoSpan green;  // the green region's band on the opposite side
        double aFrac, bFrac;
    };
    const Case cases[] = {
        {"green wider, covering", {100, 200}, {0, 300}, 0.5, 0.5},
        {"partial overlap", {100, 200}, {150, 350}, 0.75, 0.125},
        {"green before pink", {100, 200}, {0, 80}, 0.0, 1.0},
        {"green after pink", {100, 200}, {250, 300}, 1.0, 0.0},
        {"touching ends", {100, 200}, {200, 300}, 1.0, 0.0},
        {"single-pixel extents", {100, 100.5}, {100, 100.5}, 0.25, 0.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (Side side : kAllSides) {
            PhotoBlob a, b;
            // Only the facing bands may matter.
            a.top = a.bottom = a.left = a.right = {-1000, -999};
            b.top = b.bottom = b.left = b.right = {5000, 5001};
            if (side == Side::top) a.top = c.pink, b.bottom = c.green;
            if (side == Side::bottom) a.bottom = c.pink, b.top = c.green;
            if (side == Side::left) a.left = c.pink, b.right = c.green;
            if (side == Side::right) a.right = c.pink, b.left = c.green;
            const auto [aFrac, bFrac] = contact(a, b, side);
            EXPECT_DOUBLE_EQ(aFrac, c.aFrac) << rawValue(side);
            EXPECT_DOUBLE_EQ(bFrac, c.bFrac) << rawValue(side);
        }
    }
}

// A solid picture with rectangles of colour painted on it.
PhotoImage picture(int w, int h) {
    PhotoImage image{w, h, std::vector<std::uint8_t>(std::size_t(w) * h * 4, 0)};
    for (std::size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
    return image;
}
void paint(PhotoImage& image, int x0, int y0, int w, int h, PhotoRgb c, int pixels = -1) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            if (pixels-- == 0) return;
            std::uint8_t* p = &image.rgba[(std::size_t(y) * image.width + x) * 4];
            p[0] = std::uint8_t(c.r * 255 + 0.5);
            p[1] = std::uint8_t(c.g * 255 + 0.5);
            p[2] = std::uint8_t(c.b * 255 + 0.5);
        }
}

TEST(PhotoAnalyzeTest, FindsBothScreens) {
    PhotoImage image = picture(480, 360);
    paint(image, 140, 200, 200, 120, photoPink);
    paint(image, 90, 20, 300, 160, photoGreen);
    const PhotoAnalysis analysis = PhotoAligner::analyze(image);
    const auto* r = std::get_if<PhotoAlignResult>(&analysis);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->side, Side::top);
    EXPECT_EQ(r->a.box, (Rect{140, 200, 200, 120}));
    EXPECT_EQ(r->b.box, (Rect{90, 20, 300, 160}));
    EXPECT_DOUBLE_EQ(r->aFrac, 0.5);
    EXPECT_DOUBLE_EQ(r->bFrac, 0.5);
    EXPECT_EQ(r->image.width, 480);
    EXPECT_EQ(r->image.rgba, image.rgba);
    EXPECT_EQ(photoResultLines(*r),
              (std::vector<std::string>{
                  "side=top aFrac=0.500 bFrac=0.500",
                  "A(분홍)=(140, 200, 200, 120) B(초록)=(90, 20, 300, 160) image=480x360",
                  "말로: 모니터가 노트북 위쪽 · 노트북 가운데 ↔ 모니터 가운데",
              }));
}

TEST(PhotoAnalyzeTest, MinimumRegionIsHalfAPercent) {
    // 480 x 360 needs 864 pixels: 863 is not enough.
    for (int pinkPixels : {864, 863}) {
        PhotoImage image = picture(480, 360);
        paint(image, 10, 10, 100, 20, photoPink, pinkPixels);
        paint(image, 200, 100, 100, 100, photoGreen);
        const PhotoAnalysis analysis = PhotoAligner::analyze(image);
        EXPECT_EQ(std::holds_alternative<PhotoAlignResult>(analysis), pinkPixels == 864);
    }
}

TEST(PhotoAnalyzeTest, Failures) {
    auto description = [](const PhotoImage& image) {
        const PhotoAnalysis analysis = PhotoAligner::analyze(image);
        const auto* error = std::get_if<PhotoAlignError>(&analysis);
        return error ? error->description() : std::string("no error");
    };
    const std::string pinkMissing =
        "사진에서 노트북(분홍) 화면을 찾지 못했어요. 두 화면이 다 나오게, 너무 어둡지 않게 다시 "
        "찍어 주세요.";
    EXPECT_EQ(description(picture(64, 48)), pinkMissing);  // neither: the pink one is reported
    PhotoImage onlyPink = picture(64, 48);
    paint(onlyPink, 0, 0, 20, 20, photoPink);
    EXPECT_EQ(description(onlyPink),
              "사진에서 모니터(초록) 화면을 찾지 못했어요. 두 화면이 다 나오게, 너무 어둡지 않게 "
              "다시 찍어 주세요.");
    PhotoImage onlyGreen = picture(64, 48);
    paint(onlyGreen, 0, 0, 20, 20, photoGreen);
    EXPECT_EQ(description(onlyGreen), pinkMissing);

    PhotoImage truncated = picture(64, 48);
    truncated.rgba.pop_back();
    EXPECT_EQ(description(truncated), "사진을 읽지 못했어요.");
    EXPECT_EQ(description(PhotoImage{}), "사진을 읽지 못했어요.");
}

}  // namespace
}  // namespace seam
