// Unpacking the update archive without a shell or an outside tool, refusing
// anything that would land, or point, outside the destination folder.
#pragma once

#include <span>
#include <string>

namespace seam {

// What one archive may unpack: a bundle is a few files of a few megabytes.
struct UnpackLimits {
    long long maxBytes = 512ll << 20;  // all files together, as written
    int maxEntries = 20000;
};

// Unpacks a zip archive into folder, which must exist. False, with the reason,
// for a damaged archive, an entry with an absolute path or a ".." component, a
// link whose target leaves the folder, an entry that is not a file, folder or
// link, or more than the limits allow. Entries written before a refusal stay
// (inside the folder).
bool unpackZip(std::span<const char> archive, const std::string& folder, std::string& reason,
               const UnpackLimits& limits = {});

}  // namespace seam
