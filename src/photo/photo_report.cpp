#include "photo/photo_report.h"

#include <charconv>

#include "base/format.h"
#include "base/platform_words.h"

namespace seam {

std::string formatFraction(double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    return std::string(buf, res.ptr);
}

std::vector<std::string> photoResultLines(const PhotoAlignResult& r) {
    const bool horiz = horizontal(r.side);
    const std::string laptop(platformWords().builtinKo);
    return {
        "side=" + std::string(rawValue(r.side)) + " aFrac=" + formatFraction(r.aFrac) +
            " bFrac=" + formatFraction(r.bFrac),
        "A(분홍)=" + formatRect(r.a.box) + " B(초록)=" + formatRect(r.b.box) +
            " image=" + std::to_string(r.image.width) + "x" + std::to_string(r.image.height),
        "말로: 모니터가 " + laptop + " " + std::string(ko(r.side)) + " · " + laptop + " " +
            positionWord(r.aFrac, horiz) + " ↔ 모니터 " + positionWord(r.bFrac, horiz),
    };
}

}  // namespace seam
