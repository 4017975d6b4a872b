// The built program's --render-settings, --render-guide and --render-suggestion on
// the virtual desktop.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <set>

#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::runProgram;

// How many different colours a picture has: a drawn window has many.
std::size_t colours(const QImage& image) {
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3) seen.insert(image.pixel(x, y));
    return seen.size();
}

TEST(RenderJobs, WritePngsOfTheWindows) {
    ASSERT_NE(testing::xserver(), nullptr);
    testing::TempDir dir;
    const std::string env = "LANG=C LANGUAGE= XDG_CONFIG_HOME=" + dir.path();
    struct Case {
        const char* option;
        QSize size;
    };
    const Case cases[] = {{"--render-settings", {400, 350}},
                          {"--render-guide", {460, 430}},
                          {"--render-suggestion", {340, 132}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        const std::string png = dir.path() + "/" + (c.option + 2) + ".png";
        const testing::ProgramRun r = runProgram(std::string(c.option) + " " + png, env);
        EXPECT_EQ(r.exitCode, 0);
        const QImage image(QString::fromStdString(png));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), c.size);
        EXPECT_GT(colours(image), 20u);

        const testing::ProgramRun bad =
            runProgram(std::string(c.option) + " " + dir.path() + "/no/such/folder/x.png", env);
        EXPECT_EQ(bad.exitCode, 1);
    }
}

// The guide shows the user's own keys, not empty ones.
TEST(RenderJobs, GuideShowsTheStoredKeys) {
    ASSERT_NE(testing::xserver(), nullptr);
    testing::TempDir plain, custom;
    const std::string json = R"({"keyCode":96,"mods":4096,"key":"F5"})";
    std::filesystem::create_directories(custom.path() + "/Seamwright");
    std::ofstream(custom.path() + "/Seamwright/Seamwright.json")
        << R"({"hotkey.align": {"data": ")"
        << QByteArray::fromStdString(json).toBase64().toStdString() << "\"}}\n";
    QImage images[2];
    int i = 0;
    for (const testing::TempDir* config : {&plain, &custom}) {
        const std::string png = config->path() + "/guide.png";
        const testing::ProgramRun r = runProgram(
            "--render-guide " + png, "LANG=C LANGUAGE= XDG_CONFIG_HOME=" + config->path());
        ASSERT_EQ(r.exitCode, 0);
        images[i++] = QImage(QString::fromStdString(png));
    }
    ASSERT_EQ(images[0].size(), images[1].size());
    // Step 1 and the key box say "Ctrl+F5" instead of "Ctrl+Alt+Super+A"; the rest is the same.
    long differing = 0;
    for (int y = 0; y < images[0].height(); ++y)
        for (int x = 0; x < images[0].width(); ++x)
            if (images[0].pixel(x, y) != images[1].pixel(x, y)) ++differing;
    EXPECT_GT(differing, 50);
    EXPECT_LT(differing, images[0].width() * images[0].height() / 10);
}

}  // namespace
}  // namespace seam
