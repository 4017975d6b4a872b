// The stored layout file may be damaged or written by another version: decoding
// must never fault or throw, and whatever decodes must survive a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "layouts/layout_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = seam::decodeLayoutFile(std::span<const std::uint8_t>(data, size));
    if (!file) return 0;
    const auto bytes = seam::encodeLayoutFile(*file);
    if (!bytes) std::abort();  // everything read must be writable again
    const auto again = seam::decodeLayoutFile(*bytes);
    if (!again || *again != *file) std::abort();
    if (seam::encodeLayoutFile(*again) != bytes) std::abort();
    return 0;
}
