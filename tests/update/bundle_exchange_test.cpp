#include "update/bundle_exchange.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "support/log_capture.h"

namespace seam {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file);
    std::string s;
    std::getline(in, s);
    return s;
}

TEST(BundleExchangeTest, ExchangesTwoFoldersOrChangesNothing) {
    const struct {
        const char* name;
        const char* b;  // "folder", "file", "link" or "missing"
        Exchange outcome;
    } cases[] = {
        {"two folders", "folder", Exchange::done},
        {"a file", "file", Exchange::failed},
        {"a link to a folder", "link", Exchange::failed},
        {"nothing there", "missing", Exchange::failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const fs::path a = fs::path(dir.path()) / "A.app";
        const fs::path b = fs::path(dir.path()) / "B.app";
        const fs::path elsewhere = fs::path(dir.path()) / "elsewhere";
        fs::create_directories(a);
        std::ofstream(a / "v") << "old";
        fs::create_directories(elsewhere);
        const std::string kind = c.b;
        if (kind == "folder") {
            fs::create_directories(b);
            std::ofstream(b / "v") << "new";
        } else if (kind == "file") {
            std::ofstream(b) << "new";
        } else if (kind == "link") {
            std::ofstream(elsewhere / "v") << "new";
            fs::create_directory_symlink(elsewhere, b);
        }
        std::string why;
        EXPECT_EQ(exchangeFolders(a.string(), b.string(), why), c.outcome);
        EXPECT_EQ(why.empty(), c.outcome == Exchange::done) << why;
        const bool done = c.outcome == Exchange::done;
        EXPECT_EQ(contents(a / "v"), done ? "new" : "old");
        if (kind != "missing") {
            EXPECT_EQ(contents(kind == "file" ? b : b / "v"), done ? "old" : "new");
        }
    }
}

// Only a file system without the exchange lets the swap fall back to renames.
TEST(BundleExchangeTest, OnlyAMissingExchangeIsARefusal) {
    const struct {
        int error;
        Exchange outcome;
    } cases[] = {
        {EINVAL, Exchange::refused}, {ENOSYS, Exchange::refused}, {EOPNOTSUPP, Exchange::refused},
        {EXDEV, Exchange::failed},   {ENOENT, Exchange::failed},  {EACCES, Exchange::failed},
    };
    for (const auto& c : cases) EXPECT_EQ(exchangeOutcomeOf(c.error), c.outcome) << c.error;
    EXPECT_NE(exchangeExitStatus(Exchange::refused), exchangeExitStatus(Exchange::failed));
    EXPECT_EQ(exchangeExitStatus(Exchange::done), 0);
}

}  // namespace
}  // namespace seam
