#include "support/edid_builder.h"

#include <algorithm>
#include <numeric>

namespace seam::testing {

namespace {
// 13 payload bytes: the text, a line feed when shorter, then spaces.
void textDescriptor(std::vector<std::uint8_t>& b, size_t at, std::uint8_t tag,
                    const std::string& text) {
    std::fill(b.begin() + at, b.begin() + at + 18, 0);
    b[at + 3] = tag;
    for (size_t k = 0; k < 13; ++k) {
        std::uint8_t c = 0x20;
        if (k < text.size()) {
            c = static_cast<std::uint8_t>(text[k]);
        } else if (k == text.size()) {
            c = 0x0A;
        }
        b[at + 5 + k] = c;
    }
}

void dummyDescriptor(std::vector<std::uint8_t>& b, size_t at) {
    std::fill(b.begin() + at, b.begin() + at + 18, 0);
    b[at + 3] = 0x10;
}
}  // namespace

std::uint8_t edidChecksum(const std::vector<std::uint8_t>& block) {
    const unsigned sum = std::accumulate(block.begin(), block.begin() + 127, 0u);
    return static_cast<std::uint8_t>((256 - sum % 256) % 256);
}

std::vector<std::uint8_t> buildEdid(const EdidFields& f) {
    std::vector<std::uint8_t> b(128, 0);
    const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(std::begin(header), std::end(header), b.begin());
    const unsigned vendor =
        unsigned(f.pnp[0] - 64) << 10 | unsigned(f.pnp[1] - 64) << 5 | unsigned(f.pnp[2] - 64);
    b[8] = std::uint8_t(vendor >> 8);
    b[9] = std::uint8_t(vendor);
    b[10] = std::uint8_t(f.product);
    b[11] = std::uint8_t(f.product >> 8);
    for (int i = 0; i < 4; ++i) b[12 + i] = std::uint8_t(f.serial >> (8 * i));
    b[16] = 12;  // week of manufacture
    b[17] = 30;  // year - 1990
    b[18] = 1;   // EDID 1.4
    b[19] = 4;
    b[20] = 0xB5;  // digital, 10 bits, DisplayPort
    b[21] = 60;    // 60 x 34 cm
    b[22] = 34;
    b[23] = 0x78;  // gamma 2.2
    b[24] = 0x3F;  // features: sRGB, preferred timing native, continuous frequency
    const std::uint8_t chroma[] = {0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54};
    std::copy(std::begin(chroma), std::end(chroma), b.begin() + 25);
    b[35] = 0x21;  // established timings
    b[36] = 0x08;
    for (int i = 38; i < 54; ++i) b[i] = 0x01;  // standard timings unused
    // 1920x1080 at 60 Hz, 148.5 MHz.
    const std::uint8_t timing[] = {0x02, 0x3A, 0x80, 0x18, 0x71, 0x38, 0x2D, 0x40, 0x58,
                                   0x2C, 0x45, 0x00, 0x56, 0x50, 0x21, 0x00, 0x00, 0x1E};
    std::copy(std::begin(timing), std::end(timing), b.begin() + 54);
    if (f.serialText) {
        textDescriptor(b, 72, 0xFF, *f.serialText);
    } else {
        dummyDescriptor(b, 72);
    }
    if (f.name) {
        textDescriptor(b, 90, 0xFC, *f.name);
    } else {
        dummyDescriptor(b, 90);
    }
    // Range limits: a display descriptor whose tag identity ignores.
    const std::uint8_t range[] = {0x00, 0x00, 0x00, 0xFD, 0x00, 0x30, 0x4B, 0x1E, 0x53,
                                  0x11, 0x01, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    std::copy(std::begin(range), std::end(range), b.begin() + 108);
    b[126] = 0;  // no extension blocks
    b[127] = edidChecksum(b);
    return b;
}

}  // namespace seam::testing
