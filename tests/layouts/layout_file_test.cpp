#include "layouts/layout_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace seam {
namespace {

std::vector<std::uint8_t> bytes(const std::string& s) {
    return {s.begin(), s.end()};
}
std::string str(const std::vector<std::uint8_t>& b) {
    return {b.begin(), b.end()};
}

LayoutFile sample() {
    SavedLayout home{.id = "6F1C2A4E-0B7D-4E55-9A3C-2D8E1F0A7B6C", .name = "Home"};
    home.displays.push_back(
        {.ident = {.vendor = 1552, .model = 41234, .serialNumber = 12345, .builtin = true},
         .uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230",
         .name = "Built-in",
         .width = 1512,
         .height = 982,
         .main = true});
    home.displays.push_back(
        {.ident = {.vendor = 19501, .model = 2073, .serialString = "HTPK123456"},
         .x = 1512.5,
         .y = -24,
         .width = 1920,
         .height = 1080});
    home.savedAt = Date{786000000.25};
    home.lastApplied = Date{786000100};
    return LayoutFile{.layouts = {home}};
}

TEST(LayoutFileTest, CompactSortedAndAbsentOptionalsLeftOut) {
    const auto out = encodeLayoutFile(sample());
    ASSERT_TRUE(out);
    EXPECT_EQ(
        str(*out),
        R"({"layouts":[{"autoApply":false,"displays":[)"
        R"({"height":982.0,"ident":{"builtin":true,"model":41234,"serialNumber":12345,"vendor":1552},)"
        R"("main":true,"name":"Built-in","uuid":"37D8832A-2D66-02CA-B9F7-8F30A301B230",)"
        R"("width":1512.0,"x":0.0,"y":0.0},)"
        R"({"height":1080.0,"ident":{"builtin":false,"model":2073,"serialString":"HTPK123456",)"
        R"("vendor":19501},"main":false,"width":1920.0,"x":1512.5,"y":-24.0}],)"
        R"("id":"6F1C2A4E-0B7D-4E55-9A3C-2D8E1F0A7B6C","lastApplied":786000100.0,)"
        R"("name":"Home","savedAt":786000000.25}],"version":1})");
}

TEST(LayoutFileTest, RoundTrip) {
    LayoutFile file = sample();
    file.layouts.push_back(file.layouts[0]);
    file.layouts[1].id = "A";
    file.layouts[1].name = "배치 2";
    file.layouts[1].lastApplied.reset();
    file.layouts[1].autoApply = true;
    file.layouts[1].savedAt = Date{0.1};
    const auto out = encodeLayoutFile(file);
    ASSERT_TRUE(out);
    EXPECT_EQ(decodeLayoutFile(*out), file);
    EXPECT_EQ(decodeLayoutFile(bytes(R"({"layouts":[],"version":1})")), LayoutFile{});
}

TEST(LayoutFileTest, ReadsAnotherWritersFile) {
    // Keys in another order, indentation, whole numbers without fraction, explicit nulls
    // for optionals and keys this version does not know.
    const std::string foreign = R"({
      "version" : 1,
      "layouts" : [ {
        "name" : "Home", "id" : "6F1C2A4E-0B7D-4E55-9A3C-2D8E1F0A7B6C",
        "savedAt" : 786000000.25, "lastApplied" : 786000100, "autoApply" : false,
        "displays" : [
          { "main" : true, "x" : 0, "y" : 0, "width" : 1512, "height" : 982,
            "name" : "Built-in", "uuid" : "37D8832A-2D66-02CA-B9F7-8F30A301B230",
            "ident" : { "vendor" : 1552, "model" : 41234, "builtin" : true, "serialNumber" : 12345 } },
          { "ident" : { "serialString" : "HTPK123456", "builtin" : false, "model" : 2073.0,
                        "vendor" : 19501, "serialNumber" : null },
            "height" : 1080, "width" : 1920, "y" : -24, "x" : 1512.5, "main" : false,
            "uuid" : null, "colour" : "blue" }
        ] } ]
    })";
    EXPECT_EQ(decodeLayoutFile(bytes(foreign)), sample());
}

// Replaces the first occurrence of what in the sample's bytes.
std::string edited(const std::string& what, const std::string& with) {
    std::string s = str(*encodeLayoutFile(sample()));
    const auto at = s.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    if (at != std::string::npos) s.replace(at, what.size(), with);
    return s;
}

TEST(LayoutFileTest, RefusesMissingOrMistypedKeys) {
    struct Case {
        const char* what;
        std::string json;
    };
    const Case cases[] = {
        {"not JSON", "{nope"},
        {"empty", ""},
        {"array at top", "[]"},
        {"no version", R"({"layouts":[]})"},
        {"no layouts", R"({"version":1})"},
        {"layouts not array", R"({"layouts":{},"version":1})"},
        {"no autoApply", edited(R"("autoApply":false,)", "")},
        {"no savedAt", edited(R"(,"savedAt":786000000.25)", "")},
        {"no id", edited(R"("id":"6F1C2A4E-0B7D-4E55-9A3C-2D8E1F0A7B6C",)", "")},
        {"no main", edited(R"("main":true,)", "")},
        {"no x", edited(R"(,"x":0.0)", "")},
        {"no ident",
         edited(R"("ident":{"builtin":true,"model":41234,"serialNumber":12345,"vendor":1552},)",
                "")},
        {"no builtin", edited(R"("builtin":true,)", "")},
        {"no vendor", edited(R"(,"vendor":1552)", "")},
        {"vendor negative", edited(R"("vendor":1552)", R"("vendor":-1)")},
        {"vendor too large", edited(R"("vendor":1552)", R"("vendor":4294967296)")},
        {"vendor fractional", edited(R"("vendor":1552)", R"("vendor":1552.5)")},
        {"vendor as text", edited(R"("vendor":1552)", R"("vendor":"1552")")},
        {"builtin as number", edited(R"("builtin":true)", R"("builtin":1)")},
        {"name as number", edited(R"("name":"Home")", R"("name":7)")},
        {"required key null", edited(R"("autoApply":false)", R"("autoApply":null)")},
        {"optional of wrong type", edited(R"("serialString":"HTPK123456")", R"("serialString":5)")},
        {"x as text", edited(R"("x":0.0)", R"("x":"0")")},
        {"overflowing number", edited(R"("x":0.0)", R"("x":1e999)")},
        {"display not object", edited(R"({"height":982.0)", R"(7,{"height":982.0)")},
        {"trailing garbage", str(*encodeLayoutFile(sample())) + "x"},
    };
    for (const auto& c : cases) EXPECT_FALSE(decodeLayoutFile(bytes(c.json))) << c.what;
}

TEST(LayoutFileTest, OptionalsMayBeMissing) {
    std::string s = edited(R"("lastApplied":786000100.0,)", "");
    auto file = decodeLayoutFile(bytes(s));
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->layouts[0].lastApplied);
    s = edited(R"("name":"Built-in","uuid":"37D8832A-2D66-02CA-B9F7-8F30A301B230",)", "");
    file = decodeLayoutFile(bytes(s));
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->layouts[0].displays[0].name);
    EXPECT_FALSE(file->layouts[0].displays[0].uuid);
}

TEST(LayoutFileTest, UnwritableValuesGiveNothing) {
    // Written as null these would make the whole file unreadable on the next start.
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        LayoutFile f = sample();
        f.layouts[0].displays[1].x = bad;
        EXPECT_FALSE(encodeLayoutFile(f));
        f = sample();
        f.layouts[0].savedAt = Date{bad};
        EXPECT_FALSE(encodeLayoutFile(f));
    }
    LayoutFile f = sample();
    f.layouts[0].name = "bad \xFF text";
    EXPECT_FALSE(encodeLayoutFile(f));
}

}  // namespace
}  // namespace seam
