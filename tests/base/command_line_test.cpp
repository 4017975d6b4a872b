#include "base/command_line.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

TEST(CommandLineTest, FixedOrderOfExamination) {
    struct Case {
        std::vector<std::string> args;
        Job job;
        std::string path;
        std::string layoutName = "";
    };
    const Case cases[] = {
        {{}, Job::app, ""},
        {{"--photo", "a.jpg"}, Job::photo, "a.jpg"},
        {{"--photo"}, Job::app, ""},  // value missing: ignored
        {{"--selftest", "--photo"}, Job::selftest, ""},
        {{"--selftest", "--dump-displays"}, Job::dumpDisplays, ""},
        {{"--movetest", "--selftest"}, Job::movetest, ""},
        {{"--render-settings", "s.png", "--render-guide", "g.png"}, Job::renderGuide, "g.png"},
        {{"--render-suggestion", "x.png", "--dump-menu"}, Job::renderSuggestion, "x.png"},
        {{"--dump-menu", "--render-settings"}, Job::dumpMenu, ""},
        // The first occurrence decides whether a value follows.
        {{"--photo", "p1", "--photo"}, Job::photo, "p1"},
        {{"--render-guide", "--photo", "pic"}, Job::photo, "pic"},
        {{"--help", "--selftest"}, Job::selftest, ""},
        {{"--version"}, Job::version, ""},
        {{"--version", "--help"}, Job::help, ""},
        {{"--frobnicate"}, Job::app, ""},
        // Commands to the running program come after every job of its own.
        {{"--quit", "--undo", "--align"}, Job::align, ""},
        {{"--quit", "--undo"}, Job::undo, ""},
        {{"--quit", "--apply-layout", "Home"}, Job::applyLayout, "", "Home"},
        {{"--apply-layout", "--quit"}, Job::applyLayout, "", "--quit"},
        {{"--apply-layout"}, Job::app, ""},
        {{"--apply-layout", "Home", "--version"}, Job::version, ""},
        {{"--align", "--dump-displays"}, Job::dumpDisplays, ""},
        // The swap's internal step applies only in its exact form.
        {{"--exchange-bundles", "a", "b"}, Job::exchangeBundles, "a"},
        {{"--exchange-bundles", "a"}, Job::app, ""},
        {{"--version", "--exchange-bundles", "a", "b"}, Job::version, ""},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const auto& a : c.args) label += a + " ";
        const Command cmd = examine(c.args);
        EXPECT_EQ(cmd.job, c.job) << label;
        EXPECT_EQ(cmd.path, c.path) << label;
        EXPECT_EQ(cmd.layoutName, c.layoutName) << label;
    }
}

TEST(CommandLineTest, PhotoPreviewAndMenuSupport) {
    auto cmd = examine({"--preview", "out.png", "--photo", "in.jpg"});
    EXPECT_EQ(cmd.preview, "out.png");
    EXPECT_FALSE(examine({"--photo", "in.jpg", "--preview"}).preview);
    EXPECT_TRUE(examine({"--support", "--dump-menu"}).support);
    EXPECT_FALSE(examine({"--dump-menu"}).support);
    EXPECT_TRUE(examine({"--update-now"}).updateNow);
    EXPECT_EQ(examine({"--update-now"}).job, Job::app);
}

TEST(CommandLineTest, HelpNamesEveryOption) {
    const std::string help = helpText();
    for (Job j : {Job::photo, Job::renderGuide, Job::dumpDisplays, Job::renderSuggestion,
                  Job::renderSettings, Job::dumpMenu, Job::movetest, Job::selftest, Job::help,
                  Job::version, Job::align, Job::undo, Job::applyLayout, Job::quit})
        EXPECT_NE(help.find(optionName(j)), std::string::npos) << optionName(j);
}

}  // namespace
}  // namespace seam
