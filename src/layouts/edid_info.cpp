#include "layouts/edid_info.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "layouts/unicode_text.h"

namespace seam {

namespace {
constexpr std::array<std::uint8_t, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr size_t kDescriptorOffsets[] = {54, 72, 90, 108};

std::string descriptorText(std::span<const std::uint8_t> block) {
    auto text = block.subspan(5, 13);
    auto end = std::find(text.begin(), text.end(), std::uint8_t{0x0A});
    std::u32string s = decodeUtf8Lossy(
        std::string_view(reinterpret_cast<const char*>(text.data()), end - text.begin()));
    auto blank = [](char32_t c) { return c == U' ' || c == U'\t'; };
    size_t b = 0, e = s.size();
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return encodeUtf8(std::u32string_view(s).substr(b, e - b));
}
}  // namespace

std::optional<EDIDInfo> parseEDID(std::span<const std::uint8_t> d) {
    if (d.size() < 128 || !std::equal(kHeader.begin(), kHeader.end(), d.begin())) {
        return std::nullopt;
    }
    EDIDInfo info;
    info.vendor = std::uint32_t{d[8]} << 8 | d[9];
    info.product = std::uint32_t{d[10]} | std::uint32_t{d[11]} << 8;
    info.serial = std::uint32_t{d[12]} | std::uint32_t{d[13]} << 8 | std::uint32_t{d[14]} << 16 |
                  std::uint32_t{d[15]} << 24;
    for (size_t off : kDescriptorOffsets) {
        auto block = d.subspan(off, 18);
        if (block[0] != 0 || block[1] != 0 || block[2] != 0) continue;
        if (block[3] == 0xFC) {
            info.name = descriptorText(block);
        } else if (block[3] == 0xFF) {
            info.alnum = descriptorText(block);
        }
    }
    return info;
}

std::string pnpID(std::uint32_t vendor) {
    std::string out(3, '@');
    out[0] = static_cast<char>(64 + ((vendor >> 10) & 0x1F));
    out[1] = static_cast<char>(64 + ((vendor >> 5) & 0x1F));
    out[2] = static_cast<char>(64 + (vendor & 0x1F));
    return out;
}

}  // namespace seam
