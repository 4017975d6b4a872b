#include "layouts/display_ident.h"

#include <gtest/gtest.h>

#include <unordered_set>

#include "layouts/display_probe.h"
#include "layouts/live_display.h"

namespace seam {
namespace {

TEST(UsableSerialNumberTest, RejectsPlaceholders) {
    for (std::uint32_t v : {0u, 1u, 7u, 9u, 11u, 111u, 0x01010101u, 0xFFFFFFFFu, 0x11111111u, 0xAu,
                            0xFu, 0xAAAAu, 0x7F7F7F7Fu, 2222222222u, 10u, 12u, 17u}) {
        EXPECT_FALSE(usableSerialNumber(v)) << v;
    }
    for (std::uint32_t v : {18u, 1234u, 12345u, 0xFD626D62u, 0x10u, 0x01010102u}) {
        EXPECT_EQ(usableSerialNumber(v), v) << v;
    }
}

TEST(UsableSerialStringTest, Table) {
    struct Case {
        std::optional<std::string> in;
        std::optional<std::string> out;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"0000000", std::nullopt},
        {"1111", std::nullopt},
        {"aAaA", std::nullopt},
        {"\xC3\x84\xC3\xA4\xC3\x84", std::nullopt},  // "ÄäÄ"
        {"ÄäB", "ÄäB"},
        {"ＡａＡ", std::nullopt},  // full width
        {"Ǆǅǆ", std::nullopt},     // one letter in its three cases
        {"Z", std::nullopt},
        {" HTPK123456\n", "HTPK123456"},
        {"\x01\tCN0ABC1\x7F\r", "CN0ABC1"},
        {"cn0abc1", "cn0abc1"},
        {"AB CD", "AB CD"},
        {"\xC2\xA0"
         "AB1\xE2\x80\x8B",
         "AB1"},
        {"AB1\U000E0001", "AB1"},  // a trailing language tag
    };
    for (const auto& c : cases) {
        EXPECT_EQ(usableSerialString(c.in), c.out) << (c.in ? *c.in : "(absent)");
    }
}

DisplayIdent ext(std::optional<std::uint32_t> sn = std::nullopt,
                 std::optional<std::string> ss = std::nullopt) {
    return {.vendor = 19501, .model = 2073, .serialNumber = sn, .serialString = ss};
}

DisplayIdent panel(std::optional<std::uint32_t> sn) {
    return {.vendor = 1552, .model = 41234, .serialNumber = sn, .builtin = true};
}

TEST(SameMonitorTest, Rules) {
    struct Case {
        const char* what;
        DisplayIdent a, b;
        bool same;
    };
    DisplayIdent otherModel = ext(5);
    otherModel.model = 2074;
    DisplayIdent otherVendor = ext(5);
    otherVendor.vendor = 1;
    DisplayIdent externalLikePanel = panel(std::nullopt);
    externalLikePanel.builtin = false;
    const Case cases[] = {
        {"different model", ext(5), otherModel, false},
        {"different vendor", ext(5), otherVendor, false},
        {"built-in panels, serials ignored", panel(123456), panel(654321), true},
        {"built-in against external", panel(std::nullopt), externalLikePanel, false},
        {"serial strings differ", ext(12345, "CN0ABC1"), ext(12345, "CN0XYZ2"), false},
        {"serial strings equal, numbers differ", ext(12345, "CN0ABC1"), ext(54321, "CN0ABC1"),
         true},
        {"serial strings case-sensitive", ext(std::nullopt, "cn0abc1"),
         ext(std::nullopt, "CN0ABC1"), false},
        {"one string only, numbers decide", ext(12345, "CN0ABC1"), ext(54321), false},
        {"one string only, numbers equal", ext(12345, "CN0ABC1"), ext(12345), true},
        {"serial became unreadable", ext(5), ext(), true},
        {"no serials at all", ext(), ext(), true},
        {"numbers differ", ext(12345), ext(54321), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameMonitor(c.a, c.b), c.same) << c.what;
        EXPECT_EQ(sameMonitor(c.b, c.a), c.same) << c.what << " (swapped)";
    }
}

TEST(DisplayIdentTest, EqualityAndHashTellAbsentFromPresent) {
    std::unordered_set<DisplayIdent> set{ext(), ext(0), ext(std::nullopt, ""), panel(std::nullopt)};
    EXPECT_EQ(set.size(), 4u);
    EXPECT_TRUE(set.contains(ext()));
    EXPECT_FALSE(ext().hasSerial());
    EXPECT_TRUE(ext(0).hasSerial());
    EXPECT_TRUE(ext(std::nullopt, "x").hasSerial());
}

TEST(DisplayProbeTest, IdentTakesFirstUsableSources) {
    DisplayProbe p{.vendor = 19501, .model = 2073, .cgSerial = 0};
    p.edid = EDIDInfo{.vendor = 1, .product = 2, .serial = 777001, .alnum = " EDIDSN1 "};
    EXPECT_EQ(p.ident(), ext(777001, "EDIDSN1"));

    p.ioSerialNumber = 0x01010101;  // placeholder: skipped
    EXPECT_EQ(p.ident().serialNumber, 777001u);
    p.ioSerialNumber = 424242;
    EXPECT_EQ(p.ident().serialNumber, 424242u);
    p.cgSerial = 12345;
    EXPECT_EQ(p.ident().serialNumber, 12345u);

    p.ioAlnum = "0000";  // placeholder: falls back to the EDID text
    EXPECT_EQ(p.ident().serialString, "EDIDSN1");
    p.ioAlnum = "IOSN2";
    EXPECT_EQ(p.ident().serialString, "IOSN2");

    DisplayProbe bare{.vendor = 1552, .model = 41234, .cgSerial = 1, .builtin = true};
    EXPECT_EQ(bare.ident(), panel(std::nullopt));
}

LiveDisplay live(std::uint32_t id, DisplayIdent ident, Rect frame = {}, bool isMain = false) {
    return {.id = id, .ident = ident, .name = "monitor", .frame = frame, .isMain = isMain};
}

TEST(LiveDisplayTest, SetSignatureSortsAsText) {
    EXPECT_EQ(setSignature({live(3, ext()), live(1, ext()), live(2, ext())}), "1,2,3");
    EXPECT_EQ(setSignature({live(2, ext()), live(10, ext())}), "10,2");
    EXPECT_EQ(setSignature({}), "");
}

}  // namespace
}  // namespace seam
