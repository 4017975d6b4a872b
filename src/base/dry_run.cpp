#include "base/dry_run.h"

#include <cstdlib>
#include <cstring>

namespace seam {

namespace {
std::optional<bool> gOverride;
}

bool dryRunFromValue(const char* value) {
    return value && std::strcmp(value, "1") == 0;
}

bool dryRun() {
    if (gOverride) return *gOverride;
    static const bool fromEnv = dryRunFromValue(std::getenv("SEAMWRIGHT_DRY_RUN"));
    return fromEnv;
}

void overrideDryRun(std::optional<bool> value) {
    gOverride = value;
}

}  // namespace seam
