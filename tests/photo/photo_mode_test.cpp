#include "photo/photo_mode.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_server.h"
#include "support/log_capture.h"

namespace seam {
namespace {

// A grey desk with a pink and a green rectangle, the green one right of the pink.
PhotoImage desk(bool withGreen = true) {
    PhotoImage img{200, 150, std::vector<std::uint8_t>(200 * 150 * 4, 0)};
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            std::uint8_t* p = &img.rgba[(y * 200 + x) * 4];
            p[0] = p[1] = p[2] = 120;
            if (x >= 20 && x < 90 && y >= 50 && y < 100) p[0] = 224, p[1] = 20, p[2] = 184;
            if (withGreen && x >= 100 && x < 180 && y >= 40 && y < 110)
                p[0] = 15, p[1] = 204, p[2] = 92;
            p[3] = 255;
        }
    return img;
}

struct FakeScreens : PhotoScreens {
    struct Surface : PhotoSurface {
        FakeScreens* owner;
        explicit Surface(FakeScreens* o) : owner(o) { ++owner->open; }
        ~Surface() override { --owner->open; }
        void setStatus(const std::string& text) override { owner->statuses.push_back(text); }
    };
    void activate() override {}
    std::unique_ptr<PhotoSurface> openPink(const Rect& frame, PhotoPinkHandlers h) override {
        pink = frame;
        handlers = std::move(h);
        return std::make_unique<Surface>(this);
    }
    std::unique_ptr<PhotoSurface> openGreen(const Rect& frame) override {
        green = frame;
        return std::make_unique<Surface>(this);
    }
    std::optional<std::string> chooseFile() override { return chosen; }
    PhotoDelivery clipboardImage() override { return clipboard; }
    void beep() override { ++beeps; }

    int open = 0;
    Rect pink, green;
    PhotoPinkHandlers handlers;
    std::vector<std::string> statuses;
    std::optional<std::string> chosen;
    PhotoDelivery clipboard;
    int beeps = 0;
};

struct FakeFiles : PhotoFiles {
    std::optional<std::vector<DownloadEntry>> downloads() override {
        if (!listable) return std::nullopt;
        std::vector<DownloadEntry> out;
        for (const auto& [path, e] : folder) out.push_back(e);
        return out;
    }
    std::optional<PhotoImage> load(const std::string& path) override {
        ++loads;
        auto it = images.find(path);
        if (it == images.end()) return std::nullopt;
        return it->second;
    }
    void add(const std::string& path, double created, long long size,
             std::optional<PhotoImage> image = desk()) {
        folder[path] = {path, created, size};
        if (image) images[path] = *image;
    }
    bool listable = true;
    std::map<std::string, DownloadEntry> folder;
    std::map<std::string, PhotoImage> images;
    int loads = 0;
};

class PhotoModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.addDisplay({.id = 1, .frame = {0, 0, 1512, 982}, .builtin = true});
        server.addDisplay({.id = 2, .frame = {1512, 0, 1920, 1080}});
        mode.onResult = [this](const PhotoAlignResult& r) { results.push_back(r); };
    }
    double now() const { return clock.wallTime(); }

    SimDisplayServer server;
    Arrangement arrangement{server};
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeScreens screens;
    FakeFiles files;
    PhotoMode mode{arrangement, clock, scheduler, screens, files};
    std::vector<PhotoAlignResult> results;
    testing::LogCapture capture;
};

TEST_F(PhotoModeTest, OpensOnlyWithExactlyTwoDisplays) {
    server.addDisplay({.id = 3, .frame = {-800, 0, 800, 600}});
    EXPECT_FALSE(mode.start());
    server.removeDisplay(3);
    server.removeDisplay(2);
    EXPECT_FALSE(mode.start());
    EXPECT_EQ(screens.open, 0);
    EXPECT_EQ(scheduler.pending(), 0u);
    EXPECT_TRUE(capture.messages().empty());
}

TEST_F(PhotoModeTest, PinkGoesToTheBuiltinScreenElseTheMainOne) {
    struct Case {
        const char* name;
        bool firstBuiltin, secondBuiltin;
        std::uint32_t pink;
    };
    for (const Case& c :
         {Case{"built-in first", true, false, 1}, Case{"built-in second", false, true, 2},
          Case{"no built-in: main", false, false, 1}}) {
        SCOPED_TRACE(c.name);
        server.find(1)->builtin = c.firstBuiltin;
        server.find(2)->builtin = c.secondBuiltin;
        testing::LogCapture after;
        ASSERT_TRUE(mode.start());
        EXPECT_TRUE(mode.isActive());
        EXPECT_EQ(screens.pink, server.find(c.pink)->frame);
        EXPECT_EQ(screens.green, server.find(3 - c.pink)->frame);
        EXPECT_EQ(mode.status(), photo_text::initialStatus);
        EXPECT_EQ(after.messages(), std::vector<std::string>{"photo mode start"});
        mode.stop();
    }
}

TEST_F(PhotoModeTest, EscapeCancelAndStopCloseEverythingWithTheirOwnLogLine) {
    struct Case {
        const char* name;
        std::function<void()> close;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {"escape", [&] { screens.handlers.onEsc(); }, {"photo mode cancelled (esc)"}},
        {"cancel button", [&] { screens.handlers.onCancel(); }, {"photo mode cancelled"}},
        {"stop", [&] { mode.stop(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(mode.start());
        testing::LogCapture after;
        c.close();
        EXPECT_FALSE(mode.isActive());
        EXPECT_EQ(screens.open, 0);
        EXPECT_EQ(scheduler.pending(), 0u);  // the poll went with the windows
        EXPECT_EQ(after.messages(), c.log);
    }
}

TEST_F(PhotoModeTest, DownloadIsTakenAtTheSecondPollThatSeesTheSameSize) {
    ASSERT_TRUE(mode.start());
    scheduler.advance(0.5);
    files.add("/dl/desk.jpg", now(), 1000);
    scheduler.advance(1.0);  // first sight
    EXPECT_TRUE(results.empty());
    files.add("/dl/desk.jpg", now() - 0.5, 2000);  // still growing
    scheduler.advance(1.0);
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(mode.isActive());
    scheduler.advance(1.0);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].side, Side::right);
    EXPECT_FALSE(mode.isActive());
    const auto log = capture.messages();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].rfind("photo ok via airdrop desk.jpg side=right aFrac=", 0), 0u) << log[1];
}

TEST(PhotoDownloads, NewestPhotoCreatedAfterTheStartCounts) {
    struct Case {
        const char* name;
        std::vector<DownloadEntry> entries;
        std::optional<std::string> newest;
    };
    const double t = 100;
    const std::vector<Case> cases = {
        {"upper-case extensions", {{"a.JPG", t + 1, 5}, {"b.Jpeg", t + 2, 5}}, "b.Jpeg"},
        {"png and heic", {{"a.png", t + 3, 5}, {"b.HEIC", t + 2, 5}}, "a.png"},
        {"gif and no extension",
         {{"a.gif", t + 5, 5}, {"jpg", t + 5, 5}, {"c.jpg.gif", t + 5, 5}},
         {}},
        {"from before or at the start", {{"a.jpg", t - 1, 5}, {"b.jpg", t, 5}}, {}},
        {"empty file", {{"a.jpg", t + 1, 0}}, {}},
        {"no creation time or size",
         {{"a.jpg", std::nullopt, 5}, {"b.jpg", t + 1, std::nullopt}},
         {}},
        {"equally late: first listed", {{"a.jpg", t + 1, 5}, {"b.jpg", t + 1, 5}}, "a.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = newestDownload(c.entries, t);
        ASSERT_EQ(got.has_value(), c.newest.has_value());
        if (got) {
            EXPECT_EQ(got->path, *c.newest);
        }
    }
}

TEST_F(PhotoModeTest, FailureMovesTheStartForwardAndOlderFilesAreIgnored) {
    ASSERT_TRUE(mode.start());
    const double started = now();
    scheduler.advance(0.5);
    files.add("/dl/early.jpg", now(), 10);  // arrives after the start, before the failure
    files.add("/dl/old.jpg", started - 60, 10);
    scheduler.advance(0.2);
    files.add("/dl/pink-only.jpg", now(), 10, desk(false));
    scheduler.advance(2.0);
    EXPECT_GT(mode.startDate(), started);
    EXPECT_TRUE(mode.isActive());
    ASSERT_EQ(screens.statuses.size(), 1u);
    EXPECT_EQ(screens.statuses[0], PhotoAlignError::notFound("모니터(초록)").description());
    EXPECT_EQ(screens.beeps, 1);
    files.folder.erase("/dl/pink-only.jpg");
    scheduler.advance(5.0);
    EXPECT_TRUE(results.empty()) << "a file from before the failure was taken";
    const auto log = capture.messages();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "photo fail via airdrop pink-only.jpg: " +
                          PhotoAlignError::notFound("모니터(초록)").description());
}

TEST_F(PhotoModeTest, UndecodableDownloadIsReportedOnceUntilANewerFileArrives) {
    ASSERT_TRUE(mode.start());
    scheduler.advance(0.5);
    files.add("/dl/broken.jpg", now(), 10, std::nullopt);
    scheduler.advance(10.0);
    EXPECT_EQ(files.loads, 1);
    EXPECT_EQ(screens.beeps, 1);
    EXPECT_EQ(screens.statuses, std::vector<std::string>{photo_text::unreadable});
    EXPECT_TRUE(mode.isActive());
    files.add("/dl/good.jpg", now(), 10);
    scheduler.advance(2.0);
    EXPECT_EQ(results.size(), 1u);
}

TEST_F(PhotoModeTest, UnlistableFolderIsSkipped) {
    files.listable = false;
    ASSERT_TRUE(mode.start());
    scheduler.advance(5.0);
    EXPECT_TRUE(mode.isActive());
    EXPECT_EQ(screens.beeps, 0);
}

TEST_F(PhotoModeTest, EachRouteNamesItsSourceOrSaysWhyNothingCame) {
    files.images["/tmp/pic.png"] = desk();
    struct Case {
        const char* name;
        std::function<void()> deliver;
        std::string source;  // empty: photo mode stays open with status
        std::string status;
    };
    const std::vector<Case> cases = {
        {"drop", [&] { screens.handlers.onDrop("/tmp/pic.png"); }, "drop pic.png", ""},
        {"drop unreadable", [&] { screens.handlers.onDrop("/tmp/x.png"); }, "",
         photo_text::unreadable},
        {"file chosen",
         [&] {
             screens.chosen = "/tmp/pic.png";
             screens.handlers.onFile();
         },
         "file pic.png", ""},
        {"file chooser cancelled",
         [&] {
             screens.chosen.reset();
             screens.handlers.onFile();
         },
         "", ""},
        {"clipboard image",
         [&] {
             screens.clipboard = {PhotoDelivery::Kind::image, desk()};
             screens.handlers.onCamera();
         },
         "continuity", ""},
        {"clipboard without image",
         [&] {
             screens.clipboard = {};
             screens.handlers.onCamera();
         },
         "", photo_text::noClipboardImage},
        {"clipboard image unreadable",
         [&] {
             screens.clipboard = {PhotoDelivery::Kind::unreadable, {}};
             screens.handlers.onCamera();
         },
         "", photo_text::unreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(mode.start());
        results.clear();
        screens.statuses.clear();
        testing::LogCapture after;
        c.deliver();
        const auto log = after.messages();
        if (!c.source.empty()) {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].rfind("photo ok via " + c.source + " side=", 0), 0u) << log[0];
            EXPECT_EQ(results.size(), 1u);
            EXPECT_FALSE(mode.isActive());
        } else {
            EXPECT_TRUE(log.empty());
            EXPECT_TRUE(mode.isActive());
            EXPECT_EQ(screens.statuses, c.status.empty() ? std::vector<std::string>{}
                                                         : std::vector<std::string>{c.status});
        }
        mode.stop();
    }
}

TEST(PhotoOkLine, FractionsWithTwoDecimalsAndBothBoxes) {
    PhotoAlignResult r;
    r.side = Side::bottom;
    r.aFrac = 0.125;
    r.bFrac = 1.0 / 3;
    r.a.box = {10, 20, 30, 40};
    r.b.box = {5, 70, 50, 45};
    EXPECT_EQ(photoOkLine("airdrop a.jpg", r),
              "photo ok via airdrop a.jpg side=bottom aFrac=0.12 bFrac=0.33 A=(10, 20, 30, 40) "
              "B=(5, 70, 50, 45)");
}

TEST(PhotoConnectionTest, PositionsAlongTheFacingEdgesAndTheMinimumOverlap) {
    struct Case {
        const char* name;
        Side side;
        Rect other;
        double aPos, bPos, minOverlap;
    };
    // The built-in screen is 1512 x 982 at the origin.
    for (const Case& c : {
             Case{"monitor above", Side::top, {-200, -1080, 1920, 1080}, 378, -200 + 960, 181.44},
             Case{
                 "monitor right", Side::right, {1512, -100, 1280, 1024}, 245.5, -100 + 512, 117.84},
         }) {
        SCOPED_TRACE(c.name);
        SimDisplayServer server;
        server.addDisplay({.id = 1, .frame = {0, 0, 1512, 982}, .builtin = true});
        server.addDisplay({.id = 2, .frame = c.other});
        Arrangement arrangement{server};
        PhotoAlignResult r;
        r.side = c.side;
        r.aFrac = 0.25;
        r.bFrac = 0.5;
        const auto got = photoConnection(arrangement, r);
        ASSERT_TRUE(got);
        EXPECT_EQ(got->rid, 1u);
        EXPECT_EQ(got->oid, 2u);
        EXPECT_DOUBLE_EQ(got->aPos, c.aPos);
        EXPECT_DOUBLE_EQ(got->bPos, c.bPos);
        EXPECT_NEAR(got->minOverlap, c.minOverlap, 1e-9);
    }
}

}  // namespace
}  // namespace seam
