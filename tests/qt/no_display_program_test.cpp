// The built program where no X server answers: the tray application says so in
// one line and exits 1; so does a backend asked for that does not exist; the jobs
// that only draw or print still work.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/command.h"
#include "support/log_capture.h"

namespace seam {
namespace {

TEST(NoDisplayProgram, TrayRefusesInOneLineAndJobsStillRun) {
    const std::string nobody = ":977";
    ASSERT_FALSE(std::filesystem::exists("/tmp/.X11-unix/X977")) << "a server runs on " << nobody;
    struct Case {
        const char* name;
        std::string display;  // "" leaves DISPLAY unset
        std::string arguments;
        int exitCode;
        std::string output;  // standard output and error together
        std::string png;     // the picture the job writes into its folder
        std::string env;     // more of the environment, "NAME=value "
    };
    const std::string session =
        "; Seamwright runs in an X11 desktop session, or in a Wayland session of GNOME, KDE "
        "Plasma or a wlroots compositor such as sway\n";
    const Case cases[] = {
        {"tray, server gone", nobody, "", 1,
         "seamwright: cannot open the X display \"" + nobody + "\"" + session},
        {"tray, no DISPLAY", "", "", 1, "seamwright: DISPLAY is not set" + session},
        {"menu dump", nobody, "--dump-menu | head -1", 0, "<startAlign>\n"},
        {"settings rendering", nobody, "--render-settings settings.png", 0, "", "settings.png"},
        {"guide rendering", "", "--render-guide guide.png", 0, "", "guide.png"},
        {"suggestion rendering", nobody, "--render-suggestion s.png", 0, "", "s.png"},
        {"tray, unknown backend asked for", nobody, "", 1,
         "seamwright: SEAMWRIGHT_BACKEND=mir is not one of x11, wlroots, gnome, kwin\n", "",
         "SEAMWRIGHT_BACKEND=mir "},
        {"display dump, no server", nobody, "--dump-displays", 2,
         "seamwright: cannot open the X display \"" + nobody + "\"" + session},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir home;
        // The sanitizers' settings go along, so a leak check keeps its suppressions.
        std::string sanitizers;
        for (const char* v : {"LSAN_OPTIONS", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
            if (const char* value = std::getenv(v))
                sanitizers += std::string(v) + "='" + value + "' ";
        const std::string cmd = "cd " + home.path() + " && env -i " + sanitizers +
                                "HOME=" + home.path() + " XDG_RUNTIME_DIR=" + home.path() +
                                " XDG_CONFIG_HOME=" + home.path() +
                                "/config XDG_STATE_HOME=" + home.path() + "/state LANG=C " +
                                (c.display.empty() ? "" : "DISPLAY=" + c.display + " ") + c.env +
                                SEAM_BINARY_DIR "/seamwright " + c.arguments + " 2>&1";
        const testing::CommandRun r = testing::runCommand(cmd);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, c.output);
        if (!c.png.empty()) {
            EXPECT_GT(std::filesystem::file_size(home.path() + "/" + c.png), 1000u);
        }
        if (c.arguments.empty()) {
            const std::string log =
                testing::fileText(home.path() + "/state/Seamwright/Seamwright.log");
            const std::string reason = c.output.substr(std::string("seamwright: ").size());
            EXPECT_EQ(log.substr(log.find(' ') + 1), "launch failed: " + reason);
        }
    }
}

}  // namespace
}  // namespace seam
