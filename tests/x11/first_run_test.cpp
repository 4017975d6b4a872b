// The built program's first launch shows the guide and remembers it did; the
// later launches of every other test here start with that remembered.
#include <gtest/gtest.h>

#include <QString>

#include "base/qt/prefs.h"
#include "program_on_x.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

TEST(FirstRun, TheGuideShowsOnce) {
    ASSERT_TRUE(xserver()->arrange());
    Program first([](const std::string& configHome) {
        QSettingsStore settings(QString::fromStdString(configHome) + "/Seamwright", "Seamwright");
        settings.removeObject("didShowGuide");
        settings.sync();
    });
    User user;
    ASSERT_TRUE(eventually([&] { return user.titled("How to Use Seamwright") == 1; }))
        << first.logText();
    QSettingsStore settings(QString::fromStdString(first.home()) + "/config/Seamwright",
                            "Seamwright");
    EXPECT_TRUE(eventually([&] { return settings.boolean("didShowGuide") == true; }));
}

}  // namespace
}  // namespace seam
