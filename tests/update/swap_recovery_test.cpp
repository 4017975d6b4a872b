#include "update/swap_recovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "support/log_capture.h"

namespace seam {
namespace {

namespace fs = std::filesystem;

// A folder as a bundle: "whole" has its property list, "half" only a folder.
void make(const fs::path& folder, const std::string& version, bool whole) {
    fs::create_directories(folder / "Contents");
    if (whole) std::ofstream(folder / "Contents/Info.plist") << version;
}

std::string versionAt(const fs::path& folder) {
    std::ifstream in(folder / "Contents/Info.plist");
    std::string v;
    std::getline(in, v);
    return v;
}

TEST(SwapRecoveryTest, PutsRightWhatAKilledSwapLeft) {
    const struct {
        const char* name;
        const char* target;                                // "whole", "half" or "missing"
        std::vector<std::pair<long, const char*>> asides;  // pid, "whole" or "half"
        std::set<long> running;
        const char* versionAfter;  // at the target afterwards; "" for none
        std::vector<long> asidesLeft;
        std::vector<std::string> lines;  // with @ for the folder
    } cases[] = {
        {"killed after both moves",
         "whole",
         {{41, "whole"}},
         {},
         "new",
         {},
         {"update recovery: removed the old app left at @/A.app.old-41"}},
        {"killed between the moves",
         "missing",
         {{41, "whole"}},
         {},
         "old41",
         {},
         {"update recovery: put the old app back from @/A.app.old-41"}},
        {"half copied in",
         "half",
         {{41, "whole"}},
         {},
         "old41",
         {},
         {"update recovery: put the old app back from @/A.app.old-41 over an incomplete one"}},
        {"the newest whole one goes back",
         "missing",
         {{5, "whole"}, {7, "whole"}, {9, "half"}},
         {},
         "old7",
         {5, 9},
         {"update recovery: put the old app back from @/A.app.old-7"}},
        {"a swap under way is left alone", "missing", {{41, "whole"}}, {41}, "", {41}, {}},
        {"nothing whole to put back", "missing", {{41, "half"}}, {}, "", {41}, {}},
        {"nothing left aside", "whole", {}, {}, "new", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const fs::path root = dir.path();
        const fs::path target = root / "A.app";
        if (std::string(c.target) != "missing")
            make(target, "new", c.target == std::string("whole"));
        std::vector<fs::path> asides;
        for (const auto& [pid, kind] : c.asides) {
            asides.push_back(root / ("A.app.old-" + std::to_string(pid)));
            make(asides.back(), "old" + std::to_string(pid), kind == std::string("whole"));
            // The later in the list, the later moved aside.
            fs::last_write_time(asides.back(), fs::file_time_type::clock::now() -
                                                   std::chrono::hours(int(10 - pid)));
        }
        make(root / "B.app.old-3", "other", true);  // another bundle's: not ours to touch
        const SwapRecoveryProbe probe{
            [](const std::string& f) { return fs::exists(fs::path(f) / "Contents/Info.plist"); },
            [&](long pid) { return c.running.count(pid) > 0; }};
        const auto lines = recoverInterruptedSwap(target.string(), probe);

        std::vector<std::string> expected;
        for (std::string l : c.lines) {
            l.replace(l.find('@'), 1, root.string());
            expected.push_back(l);
        }
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(fs::exists(target) ? versionAt(target) : "", c.versionAfter);
        std::vector<long> left;
        for (const auto& [pid, kind] : c.asides)
            if (fs::exists(root / ("A.app.old-" + std::to_string(pid)))) left.push_back(pid);
        EXPECT_EQ(left, c.asidesLeft);
        EXPECT_TRUE(fs::exists(root / "B.app.old-3"));
        EXPECT_FALSE(fs::exists(root / "A.app.incomplete"));
    }
}

}  // namespace
}  // namespace seam
