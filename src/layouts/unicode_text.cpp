#include "layouts/unicode_text.h"

#include <utf8proc.h>

#include <cstdlib>

namespace seam {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool inRange(unsigned char b, unsigned char lo, unsigned char hi) {
    return b >= lo && b <= hi;
}
}  // namespace

std::u32string decodeUtf8Lossy(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    size_t i = 0;
    const size_t n = bytes.size();
    auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    while (i < n) {
        const unsigned char b0 = at(i);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int need = 0;
        char32_t cp = 0;
        // Bounds of the second byte follow the table of well-formed sequences.
        unsigned char lo = 0x80, hi = 0xBF;
        if (inRange(b0, 0xC2, 0xDF)) {
            need = 1;
            cp = b0 & 0x1F;
        } else if (inRange(b0, 0xE0, 0xEF)) {
            need = 2;
            cp = b0 & 0x0F;
            if (b0 == 0xE0) lo = 0xA0;
            if (b0 == 0xED) hi = 0x9F;
        } else if (inRange(b0, 0xF0, 0xF4)) {
            need = 3;
            cp = b0 & 0x07;
            if (b0 == 0xF0) lo = 0x90;
            if (b0 == 0xF4) hi = 0x8F;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t k = i + 1;
        bool ok = true;
        for (int m = 0; m < need; ++m, ++k) {
            const unsigned char lower = m == 0 ? lo : 0x80;
            const unsigned char upper = m == 0 ? hi : 0xBF;
            if (k >= n || !inRange(at(k), lower, upper)) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (at(k) & 0x3F);
        }
        out.push_back(ok ? cp : kReplacement);
        i = k;  // on failure k stops at the first byte that broke the sequence
    }
    return out;
}

std::string encodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool isWhitespaceOrNewline(char32_t c) {
    // The White_Space property: the separators plus the five ASCII controls and NEL.
    if ((c >= 0x09 && c <= 0x0D) || c == 0x85) return true;
    const auto category = utf8proc_category(utf8proc_int32_t(c));
    return category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL ||
           category == UTF8PROC_CATEGORY_ZP;
}

bool isControlOrFormat(char32_t c) {
    const auto category = utf8proc_category(utf8proc_int32_t(c));
    return category == UTF8PROC_CATEGORY_CC || category == UTF8PROC_CATEGORY_CF;
}

std::string trimBlanks(std::string_view text) {
    const std::u32string s = decodeUtf8Lossy(text);
    size_t b = 0, e = s.size();
    while (b < e && isWhitespaceOrNewline(s[b])) ++b;
    while (e > b && isWhitespaceOrNewline(s[e - 1])) --e;
    return encodeUtf8(std::u32string_view(s).substr(b, e - b));
}

std::string caseFolded(std::string_view text) {
    const std::string valid = encodeUtf8(decodeUtf8Lossy(text));
    utf8proc_uint8_t* folded = nullptr;
    const auto length = utf8proc_map(
        reinterpret_cast<const utf8proc_uint8_t*>(valid.data()), utf8proc_ssize_t(valid.size()),
        &folded, utf8proc_option_t(UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD));
    if (length < 0) return valid;  // only when memory runs out: the text is valid by now
    std::string out(reinterpret_cast<const char*>(folded), size_t(length));
    std::free(folded);
    return out;
}

}  // namespace seam
