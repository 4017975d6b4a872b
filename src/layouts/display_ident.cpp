#include "layouts/display_ident.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "layouts/unicode_text.h"

namespace seam {

namespace {
bool oneRepeatedChar(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [&](char c) { return c == s[0]; });
}
}  // namespace

std::optional<std::uint32_t> usableSerialNumber(std::uint32_t value) {
    if (value == 0 || value == 0xFFFFFFFFu) return std::nullopt;
    if (oneRepeatedChar(std::to_string(value))) return std::nullopt;
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(value));
    if (oneRepeatedChar(hex)) return std::nullopt;
    const std::uint32_t b = value & 0xFF;
    if (value == (b | b << 8 | b << 16 | b << 24)) return std::nullopt;
    return value;
}

std::optional<std::string> usableSerialString(const std::optional<std::string>& value) {
    if (!value) return std::nullopt;
    const std::u32string s = decodeUtf8Lossy(*value);
    auto junk = [](char32_t c) { return isWhitespaceOrNewline(c) || isControlOrFormat(c); };
    size_t b = 0, e = s.size();
    while (b < e && junk(s[b])) ++b;
    while (e > b && junk(s[e - 1])) --e;
    if (b == e) return std::nullopt;
    const std::string trimmed = encodeUtf8(std::u32string_view(s).substr(b, e - b));
    // One character repeated in any mix of case ("aAaA", "ÄäÄ") is a placeholder too.
    const std::u32string folded = decodeUtf8Lossy(caseFolded(trimmed));
    if (std::all_of(folded.begin(), folded.end(), [&](char32_t c) { return c == folded[0]; })) {
        return std::nullopt;
    }
    return trimmed;
}

bool sameMonitor(const DisplayIdent& a, const DisplayIdent& b) {
    if (a.vendor != b.vendor || a.model != b.model) return false;
    // Panel serials change with repairs and are often blank; one built-in panel per machine.
    if (a.builtin || b.builtin) return a.builtin && b.builtin;
    if (a.serialString && b.serialString) return *a.serialString == *b.serialString;
    // A serial that became unreadable must not orphan the saved layout.
    if (!a.serialNumber || !b.serialNumber) return true;
    return *a.serialNumber == *b.serialNumber;
}

}  // namespace seam

std::size_t std::hash<seam::DisplayIdent>::operator()(const seam::DisplayIdent& d) const noexcept {
    std::size_t h = std::hash<std::uint64_t>{}(std::uint64_t{d.vendor} << 32 | d.model);
    auto mix = [&](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(d.serialNumber ? std::hash<std::uint32_t>{}(*d.serialNumber) + 1 : 0);
    mix(d.serialString ? std::hash<std::string>{}(*d.serialString) + 1 : 0);
    mix(d.builtin ? 1 : 0);
    return h;
}
