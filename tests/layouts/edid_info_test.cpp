#include "layouts/edid_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace seam {
namespace {

using Blob = std::vector<std::uint8_t>;

// A minimal EDID: header, ids, and display descriptors placed where asked.
Blob edid(std::vector<std::uint8_t> ids) {
    Blob b(128, 0);
    const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(std::begin(header), std::end(header), b.begin());
    std::copy(ids.begin(), ids.end(), b.begin() + 8);
    // A detailed timing at 54, as real monitors have, which must be skipped.
    b[54] = 0x02;
    b[55] = 0x3A;
    b[56] = 0x80;
    return b;
}

void descriptor(Blob& b, size_t offset, std::uint8_t tag, const std::string& payload) {
    std::fill(b.begin() + offset, b.begin() + offset + 18, 0);
    b[offset + 3] = tag;
    for (size_t k = 0; k < 13; ++k) {
        b[offset + 5 + k] = k < payload.size() ? static_cast<std::uint8_t>(payload[k]) : 0x20;
    }
}

TEST(ParseEDIDTest, ByteOrderOfProductAndSerial) {
    const auto info = parseEDID(edid({0x06, 0x10, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->vendor, 0x0610u);
    EXPECT_EQ(info->product, 0x1234u);
    EXPECT_EQ(info->serial, 0x12345678u);
    EXPECT_FALSE(info->alnum);
    EXPECT_FALSE(info->name);
}

TEST(ParseEDIDTest, RefusesShortOrForeignData) {
    Blob good = edid({0x4C, 0x2D});
    EXPECT_TRUE(parseEDID(good));
    Blob shortBlob(good.begin(), good.begin() + 127);
    EXPECT_FALSE(parseEDID(shortBlob));
    EXPECT_FALSE(parseEDID(Blob{}));
    for (size_t k = 0; k < 8; ++k) {
        Blob bad = good;
        bad[k] ^= 0x01;
        EXPECT_FALSE(parseEDID(bad)) << "header byte " << k;
    }
    // Extension blocks after the base block change nothing; the checksum is not checked.
    Blob longer = good;
    longer[127] = 0x55;
    longer.resize(256, 0xAB);
    EXPECT_EQ(parseEDID(longer), parseEDID(good));
}

TEST(ParseEDIDTest, DescriptorRules) {
    struct Case {
        const char* what;
        std::string payload;
        std::string expected;
    };
    const Case cases[] = {
        {"cut at line feed", "AB\nCD", "AB"},
        {"blanks and tabs trimmed", " \tDELL U2720Q", "DELL U2720Q"},
        {"inner blanks kept", "A  B", "A  B"},
        {"empty stays empty", "\n", ""},
        {"invalid UTF-8 replaced", "X\xFFY", "X\xEF\xBF\xBDY"},
        {"truncated sequence replaced", "X\xE2\x82", "X\xEF\xBF\xBD"},
        {"valid UTF-8 kept", "\xED\x95\x9C", "\xED\x95\x9C"},
        {"all 13 bytes, no line feed", "ASUS VG27AQ1A", "ASUS VG27AQ1A"},
    };
    for (const auto& c : cases) {
        Blob b = edid({0x4C, 0x2D});
        std::string padded = c.payload;
        if (padded.find('\n') == std::string::npos) padded += '\n';
        descriptor(b, 108, 0xFC, padded);
        const auto info = parseEDID(b);
        ASSERT_TRUE(info) << c.what;
        EXPECT_EQ(info->name, c.expected) << c.what;
    }
}

TEST(ParseEDIDTest, LaterDescriptorWinsAndOthersAreIgnored) {
    Blob b = edid({0x4C, 0x2D});
    descriptor(b, 72, 0xFC, "FIRST\n");
    descriptor(b, 90, 0xFE, "OTHER TAG\n");
    descriptor(b, 108, 0xFC, "SECOND\n");
    auto info = parseEDID(b);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name, "SECOND");
    EXPECT_FALSE(info->alnum);

    // A block with non-zero leading bytes is a timing, even with a descriptor's tag.
    descriptor(b, 90, 0xFF, "SERIAL1\n");
    b[91] = 0x01;
    info = parseEDID(b);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->alnum);
}

TEST(PnpIDTest, LettersFromFiveBitFields) {
    EXPECT_EQ(pnpID(19501), "SAM");
    EXPECT_EQ(pnpID(1552), "APP");
    EXPECT_EQ(pnpID(0), "@@@");
    EXPECT_EQ(pnpID((1 << 10) | (2 << 5) | 3), "ABC");
    // Bit 15 and higher bits are not part of the code.
    EXPECT_EQ(pnpID(0x8000 | 19501), "SAM");
}

}  // namespace
}  // namespace seam
