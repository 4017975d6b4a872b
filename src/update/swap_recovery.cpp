#include "update/swap_recovery.h"

#include "update/swap_script.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>

namespace seam {

namespace fs = std::filesystem;

namespace {

struct Aside {
    fs::path path;
    long pid = 0;
    fs::file_time_type movedAt;
};

std::optional<long> pidOf(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stol(digits);
}

}  // namespace

std::vector<std::string> recoverInterruptedSwap(const std::string& target,
                                                const SwapRecoveryProbe& probe) {
    std::vector<std::string> lines;
    const fs::path at(target);
    const std::string prefix = at.filename().string() + ".old-";
    std::vector<Aside> asides;
    std::vector<fs::path> staleUpdates;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (const auto& e : fs::directory_iterator(at.parent_path(), ec)) {
        if (e.path().filename().string().rfind(kUpdateFolderPrefix, 0) == 0 &&
            std::chrono::duration<double>(now - e.last_write_time(ec)).count() >
                probe.staleUpdateSeconds)
            staleUpdates.push_back(e.path());
        const auto pid = pidOf(e.path().filename().string(), prefix);
        if (!pid || !e.is_directory(ec) || e.is_symlink(ec)) continue;
        // A script still running is between its moves right now.
        if (probe.alive(*pid)) return lines;
        asides.push_back({e.path(), *pid, e.last_write_time(ec)});
    }
    for (const auto& folder : staleUpdates) {
        fs::remove_all(folder, ec);
        lines.push_back("update recovery: removed the unfinished update at " + folder.string());
    }
    if (asides.empty()) return lines;

    if (probe.complete(target)) {
        for (const auto& a : asides) {
            fs::remove_all(a.path, ec);
            lines.push_back("update recovery: removed the old app left at " + a.path.string());
        }
        return lines;
    }
    std::sort(asides.begin(), asides.end(),
              [](const Aside& a, const Aside& b) { return a.movedAt > b.movedAt; });
    const auto whole = std::find_if(asides.begin(), asides.end(), [&](const Aside& a) {
        return probe.complete(a.path.string());
    });
    if (whole == asides.end()) return lines;
    const bool half = fs::exists(fs::symlink_status(at, ec));
    if (half) {
        const fs::path broken = at.string() + ".incomplete";
        fs::remove_all(broken, ec);
        fs::rename(at, broken, ec);
        if (ec) {
            lines.push_back("update recovery: FAILED to move the incomplete app aside: " +
                            ec.message());
            return lines;
        }
        fs::remove_all(broken, ec);
    }
    fs::rename(whole->path, at, ec);
    if (ec) {
        lines.push_back("update recovery: FAILED to put the old app back from " +
                        whole->path.string() + ": " + ec.message());
        return lines;
    }
    lines.push_back(std::string("update recovery: put the old app back from ") +
                    whole->path.string() + (half ? " over an incomplete one" : ""));
    return lines;
}

}  // namespace seam
