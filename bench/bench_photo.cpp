// Photo analysis cost: a 12-megapixel JPEG file all the way to a result, the
// analysis alone on a reduced picture, and the same job done the usual OpenCV
// way (full decode, area resize, colour test, connected components) as the
// yardstick. Ends with the ratio of the two whole routes.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

#include "photo/qt/photo_loader.h"
#include "qt/photo_scene.h"

#ifdef SEAM_HAVE_OPENCV
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

using namespace seam;

testing::DeskScene deskScene(int width, int height) {
    testing::DeskScene scene;
    scene.width = width;
    scene.height = height;
    scene.pink = {0.32, 0.55, 0.36, 0.30};
    scene.green = {0.25, 0.08, 0.50, 0.34};
    return scene;
}

// A phone-sized photo, written once per run.
const QString& photoPath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.path() + "/IMG_4000x3000.jpg";
        QFile file(p);
        if (file.open(QIODevice::WriteOnly))
            file.write(testing::encodeJpeg(testing::renderDesk(deskScene(4000, 3000)), 92));
        return p;
    }();
    return path;
}

void BM_PhotoWholePath(benchmark::State& state) {
    const QString& path = photoPath();
    state.counters["file_MB"] = double(QFile(path).size()) / 1e6;
    for (auto _ : state) {
        const auto image = PhotoAligner::load(path);
        if (!image) {
            state.SkipWithError("photo unreadable");
            return;
        }
        auto analysis = PhotoAligner::analyze(*image);
        benchmark::DoNotOptimize(analysis);
        if (!std::holds_alternative<PhotoAlignResult>(analysis)) {
            state.SkipWithError("screens not found");
            return;
        }
    }
}
BENCHMARK(BM_PhotoWholePath)->Unit(benchmark::kMillisecond);

void BM_PhotoAnalyze480x360(benchmark::State& state) {
    const PhotoImage base = PhotoAligner::pixels(testing::renderDesk(deskScene(480, 360)));
    for (auto _ : state) {
        state.PauseTiming();
        PhotoImage copy = base;  // analyze keeps the picture it is given
        state.ResumeTiming();
        auto analysis = PhotoAligner::analyze(std::move(copy));
        benchmark::DoNotOptimize(analysis);
    }
}
BENCHMARK(BM_PhotoAnalyze480x360)->Unit(benchmark::kMicrosecond);

#ifdef SEAM_HAVE_OPENCV
// The box of the largest 4-connected region of a mask.
std::optional<PhotoBlob> largestComponent(const cv::Mat& mask, int minPixels) {
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 4);
    int best = 0, bestArea = 0;
    for (int i = 1; i < n; ++i) {
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        if (area > bestArea) best = i, bestArea = area;
    }
    if (best == 0 || bestArea < minPixels) return std::nullopt;
    PhotoBlob blob;
    blob.box = {double(stats.at<int>(best, cv::CC_STAT_LEFT)),
                double(stats.at<int>(best, cv::CC_STAT_TOP)),
                double(stats.at<int>(best, cv::CC_STAT_WIDTH)),
                double(stats.at<int>(best, cv::CC_STAT_HEIGHT))};
    blob.pixels = bestArea;
    blob.top = blob.bottom = {blob.box.minX(), blob.box.maxX()};
    blob.left = blob.right = {blob.box.minY(), blob.box.maxY()};
    return blob;
}

void BM_PhotoWholePathOpenCV(benchmark::State& state) {
    const std::string path = photoPath().toStdString();
    for (auto _ : state) {
        const cv::Mat full = cv::imread(path, cv::IMREAD_COLOR);
        if (full.empty()) {
            state.SkipWithError("photo unreadable");
            return;
        }
        const double scale = double(PhotoAligner::maxSide) / std::max(full.cols, full.rows);
        cv::Mat small, hsv, pink, green;
        cv::resize(full, small, cv::Size(int(full.cols * scale), int(full.rows * scale)), 0, 0,
                   cv::INTER_AREA);
        // Hue in half degrees; saturation and value as 0...255.
        cv::cvtColor(small, hsv, cv::COLOR_BGR2HSV);
        cv::inRange(hsv, cv::Scalar(138, 85, 77), cv::Scalar(172, 255, 255), pink);
        cv::inRange(hsv, cv::Scalar(48, 85, 77), cv::Scalar(85, 255, 255), green);
        const int minPixels = small.cols * small.rows / 200;
        const auto a = largestComponent(pink, minPixels);
        const auto b = largestComponent(green, minPixels);
        if (!a || !b) {
            state.SkipWithError("screens not found");
            return;
        }
        auto side = PhotoAligner::decideSide(*a, *b);
        auto fractions = PhotoAligner::contact(*a, *b, side);
        benchmark::DoNotOptimize(fractions);
    }
}
BENCHMARK(BM_PhotoWholePathOpenCV)->Unit(benchmark::kMillisecond);
#endif

// Remembers each benchmark's time per iteration so the run can end with the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    // The last repetition of each benchmark counts.
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.benchmark_name()] = {run.real_accumulated_time / run.iterations,
                                                run.cpu_accumulated_time / run.iterations};
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatio() const {
        const auto ours = times_.find("BM_PhotoWholePath");
        const auto theirs = times_.find("BM_PhotoWholePathOpenCV");
        if (ours == times_.end() || theirs == times_.end()) return;
        const auto [ourWall, ourCpu] = ours->second;
        const auto [theirWall, theirCpu] = theirs->second;
        if (ourWall <= 0 || ourCpu <= 0) return;
        // CPU time counts every thread OpenCV starts; wall time is what the user waits.
        std::printf(
            "whole path: %.1f ms wall, %.1f ms CPU; OpenCV route: %.1f ms wall, %.1f ms CPU\n",
            ourWall * 1e3, ourCpu * 1e3, theirWall * 1e3, theirCpu * 1e3);
        std::printf("OpenCV / ours: %.2f wall, %.2f CPU\n", theirWall / ourWall, theirCpu / ourCpu);
    }

  private:
    std::map<std::string, std::pair<double, double>> times_;  // seconds: wall, CPU
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio();
    benchmark::Shutdown();
    return 0;
}
