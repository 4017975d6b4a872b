// Complete EDIDs as monitors send them (timing, range limits, checksum), built
// from known monitors: a reader of the blob finds the fields they were built from.
#include <gtest/gtest.h>

#include <numeric>

#include "layouts/display_ident.h"
#include "layouts/edid_info.h"
#include "support/edid_builder.h"

namespace seam {
namespace {

using testing::buildEdid;
using testing::EdidFields;

TEST(EdidExamplesTest, ParsedFieldsAgreeWithTheMonitor) {
    struct Case {
        const char* what;
        EdidFields fields;
        std::optional<std::uint32_t> usableSerial;  // what identity makes of it
    };
    const Case cases[] = {
        {"Samsung with placeholder serial number",
         {.pnp = "SAM",
          .product = 2073,
          .serial = 0x01010101,
          .serialText = "HTPK123456",
          .name = "SAMSUNG"},
         std::nullopt},
        {"Apple built-in panel",
         {.pnp = "APP", .product = 41234, .serial = 0xFD626D62, .name = "Color LCD"},
         4251086178u},
        {"Dell",
         {.pnp = "DEL",
          .product = 41156,
          .serial = 1095980876,
          .serialText = "CN0ABC1",
          .name = "DELL U2720Q"},
         1095980876},
        {"LG without any serial",
         {.pnp = "GSM", .product = 23303, .serial = 0, .name = "LG HDR 4K"},
         std::nullopt},
        {"name filling all 13 bytes, no line feed",
         {.pnp = "AUS",
          .product = 9937,
          .serial = 12345,
          .serialText = "M3LMQS123456",
          .name = "ASUS VG27AQ1A"},
         12345},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto blob = buildEdid(c.fields);
        ASSERT_EQ(blob.size(), 128u);
        EXPECT_EQ(std::accumulate(blob.begin(), blob.end(), 0u) % 256, 0u) << "checksum";
        const auto info = parseEDID(blob);
        ASSERT_TRUE(info);
        EXPECT_EQ(pnpID(info->vendor), c.fields.pnp);
        EXPECT_EQ(info->product, c.fields.product);
        EXPECT_EQ(info->serial, c.fields.serial);
        EXPECT_EQ(info->alnum, c.fields.serialText);
        EXPECT_EQ(info->name, c.fields.name);
        EXPECT_EQ(usableSerialNumber(info->serial), c.usableSerial);
        EXPECT_EQ(usableSerialString(info->alnum), c.fields.serialText);
    }
}

}  // namespace
}  // namespace seam
