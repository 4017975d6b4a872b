#include "base/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

#include "base/dry_run.h"
#include "support/command.h"
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

// What is at the log's place before a line is written, and what must be there after.
TEST(LogTest, OnlyAMissingFileIsCreatedAndNothingElseIsReplaced) {
    namespace fs = std::filesystem;
    const std::string earlier = "2026-12-06T18:00:00Z earlier\n";
    const auto writeFile = [](const std::string& path, const std::string& text) {
        std::ofstream(path) << text;
    };
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> before;
        fs::file_type type;  // what stands at the path afterwards
        std::string kept;    // the file's content before the new line
        bool gainsLine;
        bool needsUnprivileged = false;
    };
    const Case cases[] = {
        {"nothing there", [](auto&) {}, fs::file_type::regular, "", true},
        {"an earlier log", [&](auto& p) { writeFile(p, earlier); }, fs::file_type::regular, earlier,
         true},
        {"a folder in the way", [](auto& p) { fs::create_directory(p); }, fs::file_type::directory,
         "", false},
        {"a pipe nobody reads", [](auto& p) { ::mkfifo(p.c_str(), 0644); }, fs::file_type::fifo, "",
         false},
        {"a read-only log",
         [&](auto& p) {
             writeFile(p, earlier);
             ::chmod(p.c_str(), 0444);
         },
         fs::file_type::regular, earlier, false, true},
        {"a missing folder", [](auto& p) { fs::remove(fs::path(p).parent_path()); },
         fs::file_type::not_found, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsUnprivileged && ::geteuid() == 0) continue;  // root writes anyway
        testing::LogCapture logs;
        c.before(logs.path());
        log("now");
        ASSERT_EQ(fs::symlink_status(logs.path()).type(), c.type);
        if (c.type == fs::file_type::regular) {
            const std::string text = testing::fileText(logs.path());
            ASSERT_EQ(text.substr(0, c.kept.size()), c.kept);
            const std::string added = text.substr(c.kept.size());
            EXPECT_EQ(std::regex_match(added, std::regex(R"(\S+Z now\n)")), c.gainsLine) << added;
        }
        // No temporary sibling is left behind.
        if (fs::exists(logs.folder())) {
            EXPECT_EQ(std::distance(fs::directory_iterator(logs.folder()), {}), 1);
        }
    }
}

TEST(DryRunTest, OnlyTheValueOneCounts) {
    EXPECT_TRUE(dryRunFromValue("1"));
    for (const char* v : {"true", "01", "", "1 ", "yes", "0"})
        EXPECT_FALSE(dryRunFromValue(v)) << v;
    EXPECT_FALSE(dryRunFromValue(nullptr));
}

}  // namespace
}  // namespace seam
