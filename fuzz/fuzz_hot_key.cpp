// A stored hot key may be damaged or written by hand: decoding must never fault
// or throw, and whatever decodes must survive a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/hot_key_spec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto spec = seam::HotKeySpec::fromJson(text);
    if (!spec) return 0;
    (void)spec->display();
    const auto again = seam::HotKeySpec::fromJson(spec->json());
    if (!again || *again != *spec) std::abort();
    return 0;
}
