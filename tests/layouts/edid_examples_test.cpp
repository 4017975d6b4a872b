// Complete EDIDs as monitors send them (timing, range limits, checksum), built
// from known monitors, against their decoded reports.
#include <gtest/gtest.h>

#include <numeric>

#include "layouts/display_ident.h"
#include "layouts/edid_info.h"
#include "support/edid_builder.h"

namespace seam {
namespace {

using testing::buildEdid;
using testing::EdidFields;

struct Report {
    const char* what;
    EdidFields fields;
    // The decoded report: what a reader of the blob must find.
    const char* letters;
    std::uint32_t product;
    std::uint32_t serial;
    std::optional<std::string> serialText;
    std::optional<std::string> name;
    // What identity makes of it.
    std::optional<std::uint32_t> usableSerial;
};

const Report kReports[] = {
    {"Samsung with placeholder serial number",
     {.pnp = "SAM",
      .product = 2073,
      .serial = 0x01010101,
      .serialText = "HTPK123456",
      .name = "SAMSUNG"},
     "SAM",
     2073,
     16843009,
     "HTPK123456",
     "SAMSUNG",
     std::nullopt},
    {"Apple built-in panel",
     {.pnp = "APP", .product = 41234, .serial = 0xFD626D62, .name = "Color LCD"},
     "APP",
     41234,
     4251086178u,
     std::nullopt,
     "Color LCD",
     4251086178u},
    {"Dell, first of two",
     {.pnp = "DEL",
      .product = 41156,
      .serial = 1095980876,
      .serialText = "CN0ABC1",
      .name = "DELL U2720Q"},
     "DEL",
     41156,
     1095980876,
     "CN0ABC1",
     "DELL U2720Q",
     1095980876},
    {"Dell, second of two",
     {.pnp = "DEL",
      .product = 41156,
      .serial = 1095980877,
      .serialText = "CN0XYZ2",
      .name = "DELL U2720Q"},
     "DEL",
     41156,
     1095980877,
     "CN0XYZ2",
     "DELL U2720Q",
     1095980877},
    {"LG without any serial",
     {.pnp = "GSM", .product = 23303, .serial = 0, .name = "LG HDR 4K"},
     "GSM",
     23303,
     0,
     std::nullopt,
     "LG HDR 4K",
     std::nullopt},
    {"name filling all 13 bytes, no line feed",
     {.pnp = "AUS",
      .product = 9937,
      .serial = 12345,
      .serialText = "M3LMQS123456",
      .name = "ASUS VG27AQ1A"},
     "AUS",
     9937,
     12345,
     "M3LMQS123456",
     "ASUS VG27AQ1A",
     12345},
};

TEST(EdidExamplesTest, ParsedFieldsAgreeWithTheReport) {
    for (const Report& r : kReports) {
        SCOPED_TRACE(r.what);
        const auto blob = buildEdid(r.fields);
        ASSERT_EQ(blob.size(), 128u);
        EXPECT_EQ(std::accumulate(blob.begin(), blob.end(), 0u) % 256, 0u) << "checksum";
        const auto info = parseEDID(blob);
        ASSERT_TRUE(info);
        EXPECT_EQ(pnpID(info->vendor), r.letters);
        EXPECT_EQ(info->product, r.product);
        EXPECT_EQ(info->serial, r.serial);
        EXPECT_EQ(info->alnum, r.serialText);
        EXPECT_EQ(info->name, r.name);
        EXPECT_EQ(usableSerialNumber(info->serial), r.usableSerial);
        EXPECT_EQ(usableSerialString(info->alnum), r.serialText);
    }
}

TEST(EdidExamplesTest, BytesOfTheSamsungExample) {
    const auto blob = buildEdid(kReports[0].fields);
    const std::vector<std::uint8_t> ids(blob.begin() + 8, blob.begin() + 16);
    EXPECT_EQ(ids, (std::vector<std::uint8_t>{0x4C, 0x2D, 0x19, 0x08, 0x01, 0x01, 0x01, 0x01}));
    // Serial text at 72, then a line feed and two spaces; the name at 90, then a
    // line feed and five spaces.
    EXPECT_EQ(std::string(blob.begin() + 77, blob.begin() + 90), "HTPK123456\n  ");
    EXPECT_EQ(std::string(blob.begin() + 95, blob.begin() + 108), "SAMSUNG\n     ");
    EXPECT_EQ(blob[75], 0xFF);
    EXPECT_EQ(blob[93], 0xFC);
}

TEST(EdidExamplesTest, ExtensionBlocksAndWrongChecksumsChangeNothing) {
    auto blob = buildEdid(kReports[2].fields);
    const auto info = parseEDID(blob);
    auto damaged = blob;
    damaged[127] ^= 0x5A;
    EXPECT_EQ(parseEDID(damaged), info);
    auto extended = blob;
    extended[126] = 1;
    extended.resize(256, 0x02);
    EXPECT_EQ(parseEDID(extended), info);
}

}  // namespace
}  // namespace seam
