// Dry-run mode: display changes are only logged, settings go to a separate store.
#pragma once

#include <optional>

namespace seam {

// True exactly when the value is "1".
bool dryRunFromValue(const char* value);

// Read from SEAMWRIGHT_DRY_RUN on first use.
bool dryRun();

// Tests switch the mode without touching the environment; nullopt goes back to it.
void overrideDryRun(std::optional<bool> value);

}  // namespace seam
