#include <gtest/gtest.h>

#include "base/text.h"
#include "update/features.h"
#include "update/support_switch.h"
#include "update/update_check.h"
#include "update/update_feed.h"
#include "update/web_address.h"

namespace seam {
namespace {

using update::decodeFeed;
using update::newer;
using update::receive;

const std::string kHost(kProjectHost);

TEST(SupportSwitchTest, AcceptsProjectAddressesTrimmedWithCaseKept) {
    const std::string ko = Features::supportURL(true);
    const std::string en = Features::supportURL(false);
    const std::string www = "https://www." + kHost + "/anything?x=1#top";
    const std::string upper = "HTTPS://WWW.SEAMWRIGHT.ORG/Support";
    const struct {
        std::string in, out;
    } cases[] = {
        {ko, ko},
        {en, en},
        {www, www},
        {"HTTPS://SEAMWRIGHT.ORG/dazodezarav/support",
         "HTTPS://SEAMWRIGHT.ORG/dazodezarav/support"},
        {upper, upper},
        {"  " + ko + " \n", ko},
        {"\r\n\t" + www + "\n\n", www},
        {"https://" + kHost + ":443/dazodezarav/support",
         "https://" + kHost + ":443/dazodezarav/support"},
        {"https://" + kHost, "https://" + kHost},
    };
    for (const auto& c : cases) {
        const auto got = SupportSwitch::valid(c.in);
        ASSERT_TRUE(got) << c.in;
        EXPECT_EQ(*got, c.out);
    }
    EXPECT_EQ(ko, "https://seamwright.org/dazodezarav/support");
    EXPECT_EQ(en, "https://seamwright.org/dazodezarav/support/en");
}

TEST(SupportSwitchTest, RefusesEverythingElse) {
    const std::string refused[] = {
        "http://" + kHost + "/dazodezarav/support",
        "https://example.com/dazodezarav/support",
        "https://" + kHost + ".example.com/support",
        "https://evil" + kHost + "/support",
        "https://www.evil" + kHost + "/support",
        "https://x.www." + kHost + "/support",
        "https://" + kHost + "@example.com/support",
        "https://" + kHost + ":pw@example.com/",
        kHost + "/dazodezarav/support",
        "//" + kHost + "/dazodezarav/support",
        "javascript:alert(1)",
        "javascript://" + kHost + "/%0Aalert(1)",
        "",
        "   ",
        " \n\t\r ",
        "https://" + kHost + " /support",
        "https://" + kHost + "\\@example.com/",
        "https://" + kHost + "./support",
        "https:///" + kHost + "/support",
        "https://" + kHost + "/a%zz",
        "https://" + kHost + ":44x/",
        "https://" + kHost + "/\xED\x95\x9C",
    };
    for (const auto& r : refused) EXPECT_FALSE(SupportSwitch::valid(r)) << r;
    EXPECT_FALSE(SupportSwitch::valid(std::nullopt));
}

TEST(SupportSwitchTest, UpdateReportsChangesOfTheSwitchOnly) {
    MemoryStore store;
    const std::string a = Features::supportURL(true);
    EXPECT_FALSE(SupportSwitch::isOn(store));
    EXPECT_TRUE(SupportSwitch::update(" " + a + "\n", store));
    EXPECT_EQ(store.string(SupportSwitch::key), a);  // trimmed when stored
    EXPECT_TRUE(SupportSwitch::isOn(store));
    EXPECT_FALSE(SupportSwitch::update(Features::supportURL(false), store));  // still on
    EXPECT_EQ(store.string(SupportSwitch::key), Features::supportURL(false));
    EXPECT_TRUE(SupportSwitch::update("http://" + kHost + "/", store));
    EXPECT_FALSE(store.object(SupportSwitch::key));
    EXPECT_FALSE(SupportSwitch::update(std::nullopt, store));

    // A stored value that is no longer acceptable, or not text, is off.
    store.set(SupportSwitch::key, SettingValue{std::string("https://example.com/")});
    EXPECT_FALSE(SupportSwitch::isOn(store));
    store.set(SupportSwitch::key, SettingValue{true});
    EXPECT_FALSE(SupportSwitch::isOn(store));
    EXPECT_FALSE(SupportSwitch::update(std::nullopt, store));
    EXPECT_FALSE(store.object(SupportSwitch::key));
}

TEST(VersionTest, NewerComparesNumberByNumber) {
    const struct {
        const char *a, *b;
        bool newer;
    } cases[] = {
        {"0.10.0", "0.9.9", true},
        {"1.0", "1.0.0", false},
        {"1.0.0", "1.0", false},
        {"0.9.1", "0.9.1", false},
        {"0.8.0", "0.9.9", false},
        {"1.0.1", "1.0", true},
        {"1.0", "0.99.99", true},
        {"", "", false},
        {"1", "", true},
        {"", "0.0.0", false},
        {"1..2", "1.2", false},
        {".1.", "1", false},
        {"1.x", "1.0", false},
        {"1.x", "0.9", true},
        {"1.2a", "1.1", false},
        {"2", "10", false},
        {"010", "9", true},
        {"1.0.0.1", "1", true},
        {"99999999999999999999999", "1", false},  // too large to read: 0
        {"+2", "1", true},
        {"-1", "0", false},
        {"0.0.1", "0.0.-1", true},
    };
    for (const auto& c : cases) EXPECT_EQ(newer(c.a, c.b), c.newer) << c.a << " vs " << c.b;
}

TEST(ScheduleTest, DueAtTheDayBoundaryAndWhenTheClockWentBack) {
    const double now = 1.8e9;
    EXPECT_TRUE(UpdateSchedule::due(std::nullopt, now));
    EXPECT_FALSE(UpdateSchedule::due(now - (86400 - 60), now));  // 23 h 59 min
    EXPECT_FALSE(UpdateSchedule::due(now - 86399.999, now));
    EXPECT_TRUE(UpdateSchedule::due(now - 86400, now));
    EXPECT_TRUE(UpdateSchedule::due(now - 25 * 3600, now));
    EXPECT_FALSE(UpdateSchedule::due(now, now));
    EXPECT_TRUE(UpdateSchedule::due(now + 0.5, now));  // in the future
    EXPECT_FALSE(UpdateSchedule::due(now - 2 * 3600, now));
}

TEST(ScheduleTest, LastReadsTimesStoredEitherWay) {
    MemoryStore store;
    EXPECT_FALSE(UpdateSchedule::last(store));
    store.set(UpdateSchedule::key, SettingValue{1.8e9 + 0.25});
    EXPECT_EQ(UpdateSchedule::last(store), 1.8e9 + 0.25);
    // Whole seconds come back from the settings file as integers.
    store.set(UpdateSchedule::key, SettingValue{std::int64_t{1800000000}});
    EXPECT_EQ(UpdateSchedule::last(store), 1.8e9);
    for (const SettingValue& junk : {SettingValue{std::string("2026-01-01")}, SettingValue{true},
                                     SettingValue{std::numeric_limits<double>::quiet_NaN()}}) {
        store.set(UpdateSchedule::key, junk);
        EXPECT_FALSE(UpdateSchedule::last(store));
    }
}

TEST(FeedTest, DecodesReleaseAndSupport) {
    const auto f = decodeFeed(R"({"mac":{"version":"0.10.0","url":"https://x/u.zip",
        "sha256":"AB","notes":"Fixes"},"support":"https://seamwright.org/s","other":[1,2]})");
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->mac);
    EXPECT_EQ(*f->mac, (update::Entry{"0.10.0", "https://x/u.zip", "AB", "Fixes"}));
    EXPECT_EQ(f->support, "https://seamwright.org/s");
}

TEST(FeedTest, ReleaseMustDecodeWhenPresentSupportIsLenient) {
    const struct {
        const char* json;
        bool decodes;
        bool hasMac;
        bool hasSupport;
    } cases[] = {
        {R"({})", true, false, false},
        {R"({"mac":null,"support":"s"})", true, false, true},
        {R"({"mac":{"version":"1","url":"u","sha256":"h"}})", true, true, false},
        {R"({"mac":{"version":"1","url":"u","sha256":"h","notes":null}})", true, true, false},
        {R"({"mac":{"version":"1","url":"u"}})", false, false, false},
        {R"({"mac":{"version":1,"url":"u","sha256":"h"}})", false, false, false},
        {R"({"mac":{"version":"1","url":"u","sha256":null}})", false, false, false},
        {R"({"mac":{"version":"1","url":"u","sha256":"h","notes":7}})", false, false, false},
        {R"({"mac":"1.0"})", false, false, false},
        {R"({"mac":[]})", false, false, false},
        {R"({"support":{"ko":"x"},"mac":{"version":"1","url":"u","sha256":"h"}})", true, true,
         false},
        {R"({"support":3})", true, false, false},
        {R"({"support":null})", true, false, false},
        {R"([{"mac":{}}])", false, false, false},
        {R"("text")", false, false, false},
        {"<html>", false, false, false},
        {"", false, false, false},
        {R"({"mac":{"version":"1","url":"u","sha256":"h"})", false, false, false},
        {"{\"support\":\"\xff\"}", false, false, false},  // not UTF-8
    };
    for (const auto& c : cases) {
        const auto f = decodeFeed(c.json);
        ASSERT_EQ(f.has_value(), c.decodes) << c.json;
        if (!f) continue;
        EXPECT_EQ(f->mac.has_value(), c.hasMac) << c.json;
        EXPECT_EQ(f->support.has_value(), c.hasSupport) << c.json;
    }
}

TEST(ReceiveTest, OnlyAGoodFeedTouchesTheStore) {
    const std::string good = R"({"mac":{"version":"2.0","url":"u","sha256":"h"},
                                 "support":"https://www.seamwright.org/x"})";
    const double now = 1.8e9;
    const struct {
        const char* name;
        std::optional<std::string> data;
        int code;
        std::optional<std::string> err;
        bool result;
    } cases[] = {
        {"200", good, 200, std::nullopt, true},
        {"500", good, 500, std::nullopt, false},
        {"304", good, 304, std::nullopt, false},
        {"network error", std::nullopt, 0, "Connection refused", false},
        {"error with a body", good, 200, "cancelled", false},
        {"no body", std::nullopt, 200, std::nullopt, false},
        {"html", "<html>", 200, std::nullopt, false},
    };
    for (const auto& c : cases) {
        MemoryStore store;
        store.set(SupportSwitch::key, SettingValue{Features::supportURL(false)});
        store.set(UpdateSchedule::key, SettingValue{now - 100});
        const MemoryStore before = store;
        const auto r = receive(c.data, c.code, c.err, now, store);
        ASSERT_EQ(r.has_value(), c.result) << c.name;
        if (!r) {
            EXPECT_EQ(store.values, before.values) << c.name;
            continue;
        }
        EXPECT_EQ(r->feed.mac->version, "2.0");
        EXPECT_FALSE(r->supportChanged);  // was on, still on
        EXPECT_EQ(UpdateSchedule::last(store), now);
        EXPECT_EQ(store.string(SupportSwitch::key), "https://www.seamwright.org/x");
    }
}

TEST(FeedAddressTest, SettingOnlyWhenItIsATrustedAddress) {
    MemoryStore store;
    const std::string builtIn = "https://seamwright.org/dazodezarav/seamwright/version.json";
    EXPECT_EQ(update::feedAddress(store), builtIn);
    const struct {
        SettingValue value;
        bool used;
    } cases[] = {
        {std::string("https://feeds.example.org/v.json"), true},
        {std::string("HTTPS://feeds.example.org/v.json"), true},
        // This machine itself: nothing on a network can change the answer.
        {std::string("http://127.0.0.1:8080/v.json"), true},
        {std::string("http://localhost:8080/v.json"), true},
        {std::string("http://[::1]:8080/v.json"), true},
        // The feed carries the digest every download is checked against.
        {std::string("http://feeds.example.org/v.json"), false},
        {std::string("http://127.0.0.1.example.org/v.json"), false},
        {std::string("http://127.0.0.1@example.org/v.json"), false},
        {std::string("ftp://127.0.0.1/v.json"), false},
        {std::string("file:///tmp/v.json"), false},
        {std::string("not an address"), false},
        {std::string(""), false},
        {true, false},
    };
    for (const auto& c : cases) {
        store.set("updateFeed", c.value);
        const std::string* text = std::get_if<std::string>(&c.value);
        EXPECT_EQ(update::feedAddress(store), c.used ? *text : builtIn) << (text ? *text : "bool");
    }
}

TEST(FeaturesTest, PagesFollowTheLanguage) {
    EXPECT_FALSE(Features::photo || Features::edgeTap || Features::autoAlign);
    setKorean(true);
    EXPECT_EQ(Features::pageURL(), "https://seamwright.org/dazodezarav/seamwright");
    EXPECT_EQ(Features::supportURL(), Features::supportURL(true));
    setKorean(false);
    EXPECT_EQ(Features::pageURL(), "https://seamwright.org/dazodezarav/seamwright/en");
    EXPECT_EQ(Features::supportURL(), Features::supportURL(false));
}

TEST(IsoTimeTest, UtcToTheSecond) {
    EXPECT_EQ(update::isoTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(update::isoTime(1800000000.9), "2027-01-15T08:00:00Z");
}

}  // namespace
}  // namespace seam
