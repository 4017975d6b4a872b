// The display services and identity of the wlroots backend over a compositor
// of the test's own: scripted answers to configurations, heads from events.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "layouts/display_probe.h"
#include "output_protocol_log.h"
#include "platform/wlroots/wlroots_display_identity.h"
#include "platform/wlroots/wlroots_display_services.h"
#include "support/edid_builder.h"
#include "support/log_capture.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::headsOf;

// Two heads: DP-1 at the origin and eDP-1 to its right, each with one mode.
std::string twoHeads(const std::string& edpSerial = "") {
    std::string s = R"(
zwlr_output_manager_v1@5.head(new id zwlr_output_head_v1@10)
zwlr_output_head_v1@10.name("DP-1")
zwlr_output_head_v1@10.mode(new id zwlr_output_mode_v1@11)
zwlr_output_mode_v1@11.size(2560, 1440)
zwlr_output_head_v1@10.enabled(1)
zwlr_output_head_v1@10.current_mode(zwlr_output_mode_v1@11)
zwlr_output_head_v1@10.position(0, 0)
zwlr_output_head_v1@10.make("SAM")
zwlr_output_head_v1@10.model("0x0819")
zwlr_output_head_v1@10.serial_number("HTPK123456")
zwlr_output_manager_v1@5.head(new id zwlr_output_head_v1@20)
zwlr_output_head_v1@20.name("eDP-1")
zwlr_output_head_v1@20.mode(new id zwlr_output_mode_v1@21)
zwlr_output_mode_v1@21.size(1920, 1080)
zwlr_output_head_v1@20.enabled(1)
zwlr_output_head_v1@20.current_mode(zwlr_output_mode_v1@21)
zwlr_output_head_v1@20.position(2560, 0)
zwlr_output_head_v1@20.make("Unknown")
zwlr_output_head_v1@20.model("Panel 14")
)";
    if (!edpSerial.empty()) s += "zwlr_output_head_v1@20.serial_number(\"" + edpSerial + "\")\n";
    return s + "zwlr_output_manager_v1@5.done(1)\n";
}

class ScriptedCompositor : public WlrOutputState {
  public:
    explicit ScriptedCompositor(std::vector<WlrHead> heads) : heads_(std::move(heads)) {}
    const std::vector<WlrHead>& heads() const override { return heads_; }
    const std::vector<WlrShownOutput>& shown() const override { return shown_; }
    WlrApplyOutcome apply(const std::vector<WlrHeadSetting>& settings, bool testOnly) override {
        calls.push_back({settings, testOnly});
        const WlrApplyOutcome o = answers.empty() ? WlrApplyOutcome::lost : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        if (o == WlrApplyOutcome::succeeded && !testOnly)
            for (const WlrHeadSetting& s : settings)
                for (WlrHead& h : heads_)
                    if (h.key == s.headKey) std::tie(h.x, h.y) = std::pair(s.x, s.y);
        return o;
    }
    std::vector<WlrApplyOutcome> answers;
    std::vector<std::pair<std::vector<WlrHeadSetting>, bool>> calls;

  private:
    std::vector<WlrHead> heads_;
    std::vector<WlrShownOutput> shown_;
};

TEST(WlrootsServicesTest, ConfigurationsAskFirstAndUndoAPartialApply) {
    using O = WlrApplyOutcome;
    struct Case {
        const char* what;
        std::vector<O> answers;
        bool result;
        std::vector<bool> testOnly;  // one per configuration sent
        int lastY;                   // eDP-1 in the last configuration sent
        const char* logged;          // the line's start, when one is written
    };
    const Case cases[] = {
        {"accepted", {O::succeeded, O::succeeded}, true, {true, false}, -200, nullptr},
        {"refused when asked", {O::failed}, false, {true}, -200, "configure test failed"},
        {"refused when applied: undone",
         {O::succeeded, O::failed, O::succeeded},
         false,
         {true, false, false},
         0,
         "configure apply failed"},
        {"outputs changed meanwhile: planned again",
         {O::cancelled, O::succeeded, O::succeeded},
         true,
         {true, true, false},
         -200,
         "configure test cancelled"},
        {"no answer", {O::succeeded, O::lost}, false, {true, false}, -200, "configure apply lost"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::LogCapture logs;
        ScriptedCompositor compositor(headsOf(twoHeads()));
        compositor.answers = c.answers;
        WlrootsDisplayServices services(compositor);
        const auto active = services.activeDisplays();
        ASSERT_EQ(active.size(), 2u);
        const std::uint32_t edp = active[1].id;
        EXPECT_EQ(services.configure({{edp, 2560, -200}}), c.result);
        ASSERT_EQ(compositor.calls.size(), c.testOnly.size());
        for (std::size_t i = 0; i < c.testOnly.size(); ++i)
            EXPECT_EQ(compositor.calls[i].second, c.testOnly[i]) << i;
        // Every head is in every configuration; the first is the moves.
        ASSERT_EQ(compositor.calls[0].first.size(), 2u);
        EXPECT_EQ(compositor.calls[0].first[1].y, -200);
        EXPECT_EQ(compositor.calls.back().first[1].y, c.lastY);
        const auto lines = logs.messages();
        if (c.logged) {
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines[0].rfind(c.logged, 0), 0u) << lines[0];
        } else {
            EXPECT_TRUE(lines.empty());
        }
    }
    ScriptedCompositor compositor(headsOf(twoHeads()));
    WlrootsDisplayServices services(compositor);
    const auto ids = services.activeDisplays();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_TRUE(services.configure({}));
    // One display not shown refuses the whole move list, before anything is sent.
    EXPECT_FALSE(services.configure({{ids[1].id, 0, 1440}, {4242, 0, 0}}));
    EXPECT_TRUE(compositor.calls.empty());
    EXPECT_FALSE(services.isBuiltin(ids[0].id));
    EXPECT_TRUE(services.isBuiltin(ids[1].id));
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(WlrootsIdentityTest, ConnectorEDIDElseTheCompositorsTexts) {
    const auto samsung = testing::buildEdid({.pnp = "SAM",
                                             .product = 2073,
                                             .serial = 0x01010101,
                                             .serialText = "HTPK123456",
                                             .name = "SAMSUNG"});
    struct Case {
        const char* what;
        std::vector<std::string> dpFolders;  // connector folders holding the EDID
        std::string edpSerial;
        DisplayIdent dp, edp;
        const char* dpName;
        const char* dpSource;
    };
    const DisplayIdent fromEdid{.vendor = 19501, .model = 2073, .serialString = "HTPK123456"};
    const DisplayIdent edpTexts{.vendor = 0, .model = 0, .builtin = true};
    const Case cases[] = {
        {"EDID of the connector", {"card0-DP-1"}, "", fromEdid, edpTexts, "SAMSUNG", "location"},
        // SAM, 0x0819 and the serial text: the numbers the EDID would give.
        {"no connector: the compositor's texts",
         {},
         "0x00BC614E",
         fromEdid,
         edpTexts,
         "DP-1",
         "location"},
        {"a connector of that name on two cards: not guessed",
         {"card0-DP-1", "card1-DP-1"},
         "0x00BC614E",
         fromEdid,
         edpTexts,
         "DP-1",
         "location"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir tmp;
        const fs::path root = tmp.path();
        for (const std::string& f : c.dpFolders) {
            fs::create_directory(root / f);
            writeBytes(root / f / "edid", samsung);
        }
        fs::create_directory(root / "card0-eDP-1");
        writeBytes(root / "card0-eDP-1" / "edid", {});
        ScriptedCompositor compositor(headsOf(twoHeads(c.edpSerial)));
        WlrootsDisplayServices services(compositor);
        WlrootsDisplayIdentity identity(compositor, DrmConnectors(root.string()));
        const auto active = services.activeDisplays();
        ASSERT_EQ(active.size(), 2u);
        const DisplayProbe dp = probeDisplay(active[0].id, services, identity);
        const DisplayProbe edp = probeDisplay(active[1].id, services, identity);
        EXPECT_EQ(dp.ident(), c.dp);
        EXPECT_EQ(dp.name, c.dpName);
        EXPECT_EQ(dp.ioSource, c.dpSource);
        EXPECT_EQ(dp.pixels, (std::pair<int, int>{2560, 1440}));
        DisplayIdent edpWant = c.edp;
        edpWant.model = compositorAttributes(compositor.heads()[1]).value("ProductID", 0u);
        if (!c.edpSerial.empty()) edpWant.serialNumber = 12345678u;
        EXPECT_EQ(edp.ident(), edpWant);
        EXPECT_NE(edpWant.model, 0u);
    }
}

TEST(WlrootsIdentityTest, CompositorTextsAsProductAttributes) {
    struct Case {
        std::string make, model, serial;
        nlohmann::json want;
    };
    const Case cases[] = {
        {"SAM",
         "0x0819",
         "0x00BC614E",
         {{"LegacyManufacturerID", 19501}, {"ProductID", 2073}, {"SerialNumber", 12345678}}},
        {"DEL",
         "0xA0C4",
         "CN0ABC1",
         {{"LegacyManufacturerID", 4268},
          {"ProductID", 41156},
          {"AlphanumericSerialNumber", "CN0ABC1"}}},
        {"Unknown", "", "unknown", nlohmann::json::object()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(compositorAttributes({.make = c.make, .model = c.model, .serial = c.serial}),
                  c.want)
            << c.make;
    // Names that are no codes still give stable, distinct numbers.
    const auto a = compositorAttributes({.make = "Dell Inc.", .model = "DELL U2415"});
    const auto b = compositorAttributes({.make = "Dell Inc.", .model = "DELL U2417"});
    EXPECT_EQ(a, compositorAttributes({.make = "Dell Inc.", .model = "DELL U2415"}));
    EXPECT_NE(a["ProductID"], b["ProductID"]);
    EXPECT_EQ(a["LegacyManufacturerID"], b["LegacyManufacturerID"]);
}

}  // namespace
}  // namespace seam
