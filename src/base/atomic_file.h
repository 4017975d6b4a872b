// Replacing a file so that a crash, a kill or a power cut leaves either the old
// contents or the new ones, never a mix or nothing.
#pragma once

#include <string>
#include <string_view>

namespace seam {

// Writes bytes to a new file in the same folder, flushes it to the disk, renames
// it over path and flushes the folder. The folder must exist. False, with path
// untouched, when any step fails.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

// Removes what replaceFileAtomically left behind when it was killed mid-write:
// "<path>.tmp-*" files older than maxAgeSeconds (younger ones may be another
// process's write under way).
void removeStaleTemporaries(const std::string& path, double maxAgeSeconds);

}  // namespace seam
