// EDID blobs come from whatever monitor is plugged in: parsing must never fault,
// and the texts it yields must be valid UTF-8 of bounded length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "layouts/display_ident.h"
#include "layouts/edid_info.h"
#include "layouts/unicode_text.h"

namespace {
void checkText(const std::optional<std::string>& text) {
    if (!text) return;
    // Each of at most 13 bytes becomes at most one 3-byte replacement character.
    if (text->size() > 39) std::abort();
    if (seam::encodeUtf8(seam::decodeUtf8Lossy(*text)) != *text) std::abort();
    const auto serial = seam::usableSerialString(text);
    if (serial && serial->size() > text->size()) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto info = seam::parseEDID(std::span<const std::uint8_t>(data, size));
    if (!info) return 0;
    checkText(info->alnum);
    checkText(info->name);
    if (seam::pnpID(info->vendor).size() != 3) std::abort();
    seam::usableSerialNumber(info->serial);
    return 0;
}
