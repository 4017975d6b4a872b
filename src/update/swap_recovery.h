// What an interrupted swap leaves beside the bundle, and putting it right at the
// next launch: the swap script moves the old bundle aside as
// "<target>.old-<script's pid>" before it moves the new one in.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace seam {

struct SwapRecoveryProbe {
    // A folder holds a whole bundle: its property list and its program.
    std::function<bool(const std::string& folder)> complete;
    // A process runs: its swap is still under way and is left alone.
    std::function<bool(long pid)> alive;
    // An update folder older than this belongs to no swap any more: the script
    // starts as the application quits and is done in moments.
    double staleUpdateSeconds = 600;
};

// With a whole bundle at target, removes what a swap killed after its moves
// left aside; with none (missing, or half there), puts the newest whole bundle
// left aside back. Update folders a killed swap left are removed. Returns the
// log lines of what it did.
std::vector<std::string> recoverInterruptedSwap(const std::string& target,
                                                const SwapRecoveryProbe& probe);

}  // namespace seam
