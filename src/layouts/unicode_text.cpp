#include "layouts/unicode_text.h"

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
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

bool isControlOrFormat(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || (c >= 0x600 && c <= 0x605) ||
           c == 0x61C || c == 0x6DD || c == 0x70F || c == 0x180E || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
           (c >= 0x2066 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

std::string trimBlanks(std::string_view text) {
    const std::u32string s = decodeUtf8Lossy(text);
    size_t b = 0, e = s.size();
    while (b < e && isWhitespaceOrNewline(s[b])) ++b;
    while (e > b && isWhitespaceOrNewline(s[e - 1])) --e;
    return encodeUtf8(std::u32string_view(s).substr(b, e - b));
}

std::string lowercased(std::string_view text) {
    std::u32string s = decodeUtf8Lossy(text);
    for (char32_t& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c += 0x20;
        } else if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
                   (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
            c += 0x20;
        } else if (c == 0x178) {
            c = 0xFF;
        } else if (c >= 0x400 && c <= 0x40F) {
            c += 0x50;
        } else if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149 &&
                   c != 0x17F) {
            // Latin Extended-A pairs upper/lower as even/odd, shifted by one in 0x139-0x148
            // and 0x179-0x17E.
            const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
            if (shifted ? (c % 2 == 1) : (c % 2 == 0)) c += 1;
        }
    }
    return encodeUtf8(s);
}

}  // namespace seam
