// Swapping the new bundle in with one atomic exchange of two folders, so the
// target never stands empty, not even for an instant. The swap script asks the
// new bundle's program for it with an internal option.
#pragma once

#include <string>

namespace seam {

inline constexpr const char* kExchangeOption = "--exchange-bundles";

enum class Exchange {
    done,     // each path now holds what the other held
    refused,  // the file system has no atomic exchange: the caller renames instead
    failed,   // nothing changed
};

// Exit statuses of the internal option, which the swap script reads.
int exchangeExitStatus(Exchange e);

// What an exchange error means for the swap.
Exchange exchangeOutcomeOf(int error);

// Exchanges two folders on one file system (both must be folders, not links);
// why says what failed, in one line.
Exchange exchangeFolders(const std::string& a, const std::string& b, std::string& why);

}  // namespace seam
