#include "layouts/layout_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/text.h"
#include "layouts/layout_file.h"
#include "support/log_capture.h"

namespace seam {
namespace {

Bytes bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

SavedLayout layout(const std::string& id, const std::string& name) {
    SavedLayout l{.id = id, .name = name, .savedAt = Date{1000}};
    l.displays.push_back(
        {.ident = {.vendor = 19501, .model = 2073}, .width = 1920, .height = 1080});
    return l;
}

// A backing store that counts writes, for the function-pair constructor.
struct Backing {
    std::optional<Bytes> stored;
    int writes = 0;
    LayoutStore make() {
        return LayoutStore([this] { return stored; },
                           [this](const Bytes& b) {
                               stored = b;
                               ++writes;
                           },
                           [] { return Date{5000}; });
    }
};

class LayoutStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { setKorean(false); }
    void TearDown() override { setKorean(false); }
    Backing backing;
};

TEST_F(LayoutStoreTest, UnreadableOrNoBytesGiveAnEmptyList) {
    for (const std::optional<Bytes>& stored :
         {std::optional<Bytes>(bytes("{nope")), std::optional<Bytes>()}) {
        testing::LogCapture logs;
        backing.stored = stored;
        LayoutStore store = backing.make();
        EXPECT_TRUE(store.layouts().empty());
        EXPECT_EQ(logs.messages(),
                  stored ? std::vector<std::string>{"layouts: could not read layouts.v1 (5 bytes)"}
                         : std::vector<std::string>{});
        EXPECT_EQ(backing.stored, stored);
        EXPECT_EQ(backing.writes, 0);
    }
}

TEST_F(LayoutStoreTest, SavesEveryChangeUpsertsInPlaceAndReloadsEqual) {
    LayoutStore store = backing.make();
    store.upsert(layout("A", "Home"));
    store.upsert(layout("B", "Office"));
    SavedLayout changed = layout("A", "Home 2");
    changed.autoApply = true;
    store.upsert(changed);
    EXPECT_EQ(backing.writes, 3);
    EXPECT_EQ(store.encoded(), backing.stored);
    ASSERT_EQ(store.layouts().size(), 2u);
    EXPECT_EQ(store.layouts()[0], changed);
    EXPECT_EQ(store.layouts()[1].id, "B");
    EXPECT_EQ(backing.make().layouts(), store.layouts());
}

TEST_F(LayoutStoreTest, RemoveKeepsOrderAndRewritesEvenWhenUnknown) {
    // Duplicate ids can only come from a file.
    LayoutFile file{
        .layouts = {layout("A", "a"), layout("B", "b"), layout("A", "a2"), layout("C", "c")}};
    backing.stored = encodeLayoutFile(file);
    LayoutStore store = backing.make();
    store.remove("A");
    ASSERT_EQ(store.layouts().size(), 2u);
    EXPECT_EQ(store.layouts()[0].id, "B");
    EXPECT_EQ(store.layouts()[1].id, "C");
    const int writes = backing.writes;
    store.remove("nobody");
    EXPECT_EQ(backing.writes, writes + 1);
    EXPECT_EQ(store.layouts().size(), 2u);
}

// Lookups, and with them renames and saves under an existing name, ignore case in
// every script with case, and how an accent is encoded.
TEST_F(LayoutStoreTest, NamesMatchRegardlessOfCaseInEveryScript) {
    const struct {
        const char* stored;
        const char* typed;
        bool same;
    } cases[] = {
        {"ＨＯＭＥ", "ｈｏｍｅ", true},  // full width
        {"École", "éCOLE", true},
        {"Ǎla", "ǎLA", true},
        {"Ại", "ạI", true},
        {"Άθήνα", "άΘΉΝΑ", true},
        {"ΟΔΟΣ", "οδος", true},  // final sigma
        {"Ґанок", "ґАНОК", true},
        {"Ան", "աՆ", true},
        {"𐐀x", "𐐨X", true},
        {"Straße", "STRASSE", true},
        {"Café", "CAFE\u0301", true},  // precomposed, and E with a combining accent
        {"Café", "Cafe", false},
        {"Home", "Hom", false},
        {"집", "짐", false},
        {"Σ", "Φ", false},
    };
    for (const auto& c : cases) {
        Backing b;
        LayoutStore store = b.make();
        store.upsert(layout("A", c.stored));
        EXPECT_EQ(store.layoutNamed(c.typed) != nullptr, c.same) << c.stored << " / " << c.typed;
        store.upsert(layout("B", "Other"));
        EXPECT_EQ(store.rename("B", c.typed), !c.same) << c.stored << " / " << c.typed;
    }
}

TEST_F(LayoutStoreTest, DefaultNames) {
    LayoutStore store = backing.make();
    EXPECT_EQ(store.nextDefaultName(), "Layout 1");
    store.upsert(layout("A", "Home"));
    store.upsert(layout("B", "Layout 3"));
    EXPECT_EQ(store.nextDefaultName(), "Layout 4");
    store.upsert(layout("C", " layout 4 "));
    store.upsert(layout("D", "LAYOUT 5"));
    EXPECT_EQ(store.nextDefaultName(), "Layout 6");
    setKorean(true);
    EXPECT_EQ(store.nextDefaultName(), "배치 5");
}

TEST_F(LayoutStoreTest, RenameRules) {
    LayoutStore store = backing.make();
    store.upsert(layout("A", "Home"));
    store.upsert(layout("B", "Office"));
    const int writes = backing.writes;

    EXPECT_FALSE(store.rename("A", " OFFICE "));
    EXPECT_FALSE(store.rename("A", " \n\t"));
    EXPECT_FALSE(store.rename("Z", "Elsewhere"));
    EXPECT_FALSE(store.rename("a", "Elsewhere"));  // ids keep their case
    EXPECT_EQ(store.layout("A")->name, "Home");
    EXPECT_EQ(store.layout("B")->name, "Office");
    EXPECT_EQ(backing.writes, writes);

    EXPECT_TRUE(store.rename("A", "Home"));  // unchanged: accepted, nothing written
    EXPECT_EQ(backing.writes, writes);
    EXPECT_TRUE(store.rename("A", "  HOME \n"));  // case only: own name is excepted
    EXPECT_EQ(store.layout("A")->name, "HOME");
    EXPECT_EQ(backing.writes, writes + 1);
    EXPECT_EQ(backing.make().layout("A")->name, "HOME");
}

TEST_F(LayoutStoreTest, MarkAppliedAndAutoApply) {
    LayoutStore store = backing.make();
    store.upsert(layout("A", "Home"));
    store.upsert(layout("B", "Office"));
    const int writes = backing.writes;

    store.markApplied("A");
    EXPECT_EQ(store.layout("A")->lastApplied, Date{5000});
    store.markApplied("B", Date{42});
    EXPECT_EQ(store.layout("B")->lastApplied, Date{42});
    store.setAutoApply("B", true);
    EXPECT_TRUE(store.layout("B")->autoApply);
    EXPECT_FALSE(store.layout("A")->autoApply);
    EXPECT_EQ(backing.writes, writes + 3);

    const auto before = store.layouts();
    store.markApplied("Z");
    store.setAutoApply("Z", true);
    EXPECT_EQ(store.layouts(), before);
    EXPECT_EQ(backing.writes, writes + 3);
    EXPECT_EQ(backing.make().layouts(), before);
}

TEST_F(LayoutStoreTest, EncodingFailureWritesNothing) {
    LayoutStore store = backing.make();
    store.upsert(layout("A", "Home"));
    const auto stored = backing.stored;
    SavedLayout bad = layout("B", "Office");
    bad.displays[0].x = std::nan("");
    store.upsert(bad);
    EXPECT_EQ(store.layouts().size(), 2u);  // kept in memory
    EXPECT_EQ(backing.stored, stored);
}

// The settings-store form: a file this version cannot read survives the next save.
TEST_F(LayoutStoreTest, FileWithoutAutoApplyIsBackedUpNotLost) {
    testing::LogCapture logs;
    LayoutFile old{.layouts = {layout("A", "Home")}};
    std::string text(reinterpret_cast<const char*>(encodeLayoutFile(old)->data()),
                     encodeLayoutFile(old)->size());
    text.replace(text.find(R"("autoApply":false,)"), 18, "");
    MemoryStore defaults;
    defaults.set("layouts.v1", bytes(text));

    LayoutStore store(defaults, [] { return Date{0}; });
    EXPECT_TRUE(store.layouts().empty());
    EXPECT_EQ(logs.messages().size(), 1u);
    EXPECT_FALSE(defaults.object("layouts.v1.unreadable"));  // reading alone changes nothing

    store.upsert(layout("B", "Office"));
    EXPECT_EQ(defaults.data("layouts.v1.unreadable"), bytes(text));
    EXPECT_EQ(defaults.data("layouts.v1"), store.encoded());

    // Readable data is replaced without a backup; the old backup stays.
    store.upsert(layout("C", "Cabin"));
    EXPECT_EQ(defaults.data("layouts.v1.unreadable"), bytes(text));
    EXPECT_EQ(LayoutStore(defaults, nullptr).layouts().size(), 2u);
}

// Only bytes that fail to read are backed up: a value of another kind, or none.
TEST_F(LayoutStoreTest, GuardedWriteKeepsValuesOfAnotherKind) {
    for (const bool stored : {true, false}) {
        MemoryStore defaults;
        if (stored) defaults.set("layouts.v1", std::string(R"({"layouts":[],"version":1})"));
        LayoutStore store(defaults, nullptr);
        store.upsert(layout("A", "Home"));
        if (stored)
            EXPECT_EQ(defaults.string("layouts.v1.unreadable"), R"({"layouts":[],"version":1})");
        else
            EXPECT_FALSE(defaults.object("layouts.v1.unreadable"));
        EXPECT_EQ(LayoutStore(defaults, nullptr).layouts(), store.layouts());
    }
}

}  // namespace
}  // namespace seam
