// The built program's --render-settings and --render-guide on the virtual desktop.
#include <gtest/gtest.h>

#include <QImage>
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
    const Case cases[] = {{"--render-settings", {400, 350}}, {"--render-guide", {460, 430}}};
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

}  // namespace
}  // namespace seam
