#include "main/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "main/dry_run.h"
#include "support/log_capture.h"

namespace seam {
namespace {

TEST(LogLineTest, IsoUtcToTheSecond) {
    EXPECT_EQ(logLine("hello x=1", 0, false), "1970-01-01T00:00:00Z hello x=1\n");
    EXPECT_EQ(logLine("m", 1796580000, false), "2026-12-06T18:00:00Z m\n");
    EXPECT_EQ(logLine("move ok=true", 1796580000, true),
              "2026-12-06T18:00:00Z dry-run move ok=true\n");
}

TEST(LogLineTest, ControlCharactersNeverMakeALineOfTheirOwn) {
    const struct {
        std::string message, written;
    } cases[] = {
        {"update check remote=9.9\n2026-01-01T00:00:00Z forged",
         "update check remote=9.9\\n2026-01-01T00:00:00Z forged"},
        {"a\r\nb", "a\\r\\nb"},
        {std::string("nul\0bell\a del\x7f", 14), "nul\\x00bell\\x07 del\\x7f"},
        {"tab\tand 한글 stay", "tab\tand 한글 stay"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logLine(c.message, 0, false), "1970-01-01T00:00:00Z " + c.written + "\n");
}

TEST(LogTest, CreatesThenAppends) {
    testing::LogCapture logs;
    ASSERT_FALSE(std::filesystem::exists(logs.path()));
    log("first");
    log("second line");
    const auto lines = logs.rawLines();
    ASSERT_EQ(lines.size(), 2u);
    const std::regex shape(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ (first|second line))");
    for (const auto& l : lines) EXPECT_TRUE(std::regex_match(l, shape)) << l;
    // Creation leaves no temporary files behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(logs.folder()), {}), 1);
}

TEST(LogTest, MissingFolderLosesLinesSilently) {
    testing::LogCapture logs;
    const std::string missing = logs.folder() + "/no/such/folder/Seamwright.log";
    setLogPath(missing);
    log("lost");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(logs.folder() + "/no"));
}

TEST(LogTest, UnwritableFileLosesLinesSilently) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    testing::LogCapture logs;
    log("one");
    ::chmod(logs.path().c_str(), 0444);
    log("two");
    EXPECT_EQ(logs.messages().size(), 1u);
}

TEST(LogTest, DryRunPrefix) {
    testing::LogCapture logs;
    overrideDryRun(true);
    log("would configure id=2->(1,2)");
    overrideDryRun(false);
    log("plain");
    overrideDryRun(std::nullopt);
    EXPECT_EQ(logs.messages(),
              (std::vector<std::string>{"dry-run would configure id=2->(1,2)", "plain"}));
}

TEST(DryRunTest, OnlyTheValueOneCounts) {
    EXPECT_TRUE(dryRunFromValue("1"));
    for (const char* v : {"true", "01", "", "1 ", "yes", "0"})
        EXPECT_FALSE(dryRunFromValue(v)) << v;
    EXPECT_FALSE(dryRunFromValue(nullptr));
}

}  // namespace
}  // namespace seam
