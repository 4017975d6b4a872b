// Which saved layout is offered, and what the application does with the answer.
#include <gtest/gtest.h>

#include "suggest/panel_placement.h"
#include "suggest/suggestion_controller.h"
#include "suggest/suggestion_decision.h"
#include "support/log_capture.h"

namespace seam {
namespace {

const DisplayIdent kPanel{.vendor = 1552, .model = 41234, .serialNumber = 12345, .builtin = true};
const DisplayIdent kMonitor{.vendor = 19501, .model = 2073, .serialNumber = 777};
const DisplayIdent kOther{.vendor = 19501, .model = 9999, .serialNumber = 5};

std::vector<LiveDisplay> attached() {
    return {{.id = 1, .ident = kPanel, .frame = {0, 0, 1710, 1112}, .isMain = true},
            {.id = 2, .ident = kMonitor, .frame = {1710, 0, 1280, 960}}};
}

SavedLayout layout(std::string id, double monitorX, double savedAt,
                   std::optional<double> lastApplied = std::nullopt,
                   DisplayIdent monitor = kMonitor, double monitorY = -200) {
    SavedLayout l{.id = id, .name = "L" + id};
    l.displays = {{.ident = kPanel, .x = 0, .y = 0, .width = 1710, .height = 1112, .main = true},
                  {.ident = monitor, .x = monitorX, .y = monitorY, .width = 1280, .height = 960}};
    l.savedAt = {savedAt};
    if (lastApplied) l.lastApplied = Date{*lastApplied};
    return l;
}

std::string decided(const std::vector<SavedLayout>& layouts, const std::vector<LiveDisplay>& live) {
    const SuggestionDecision d = decideSuggestion(layouts, live);
    if (auto* a = std::get_if<AlreadyArranged>(&d)) return "arranged " + a->name;
    if (auto* o = std::get_if<Offer>(&d)) return "offer " + o->layout.name;
    return "none";
}

TEST(DecideSuggestionTest, WhichLayoutIsOffered) {
    const double hour = 3600, day = 86400, now = 800'000'000;
    struct Case {
        const char* what;
        std::vector<SavedLayout> layouts;
        std::string expected;
    };
    const Case cases[] = {
        {"nothing stored", {}, "none"},
        {"other monitors only", {layout("A", 1710, now, {}, kOther)}, "none"},
        {"applied an hour ago beats yesterday",
         {layout("A", 1710, now, now - day), layout("B", -1280, now, now - hour)},
         "offer LB"},
        {"never applied: the more recently saved",
         {layout("A", 1710, now - day), layout("B", -1280, now - hour)},
         "offer LB"},
        {"equal times: the earlier in the store",
         {layout("A", 1710, now), layout("B", -1280, now), layout("C", 0, now)},
         "offer LA"},
        {"applied once beats any never applied",
         {layout("A", 1710, now), layout("B", -1280, 0, now - 100 * day)},
         "offer LB"},
        {"only fitting layouts count",
         {layout("A", 1710, now, now, kOther), layout("B", -1280, 0)},
         "offer LB"},
        {"one in effect wins over fresher ones",
         {layout("A", 1710, now, now), layout("B", 1710, now - day, {}, kMonitor, 0),
          layout("C", 1710, now, {}, kMonitor, 0)},
         "arranged LB"},
    };
    // Unless told otherwise, layouts put the monitor 200 points above where it is.
    for (const Case& c : cases) EXPECT_EQ(decided(c.layouts, attached()), c.expected) << c.what;
    // The offer carries the plan that puts the monitor in its place.
    const auto d = decideSuggestion({layout("A", 1710, now)}, attached());
    const auto& offer = std::get<Offer>(d);
    ASSERT_EQ(offer.plan.moves.size(), 2u);
    EXPECT_EQ(offer.plan.moves[1], (Move{2, {1710, -200}}));
}

class FakePanel : public SuggestionView {
  public:
    void show(const std::string& id, const std::string& name) override {
        shown = id + " " + name;
        ++shows;
    }
    void dismiss() override {
        shown.clear();
        ++dismissals;
    }
    bool isShowing() const override { return !shown.empty(); }
    std::string shown;
    int shows = 0;
    int dismissals = 0;
};

class ControllerTest : public ::testing::Test {
  protected:
    ControllerTest() {
        controller.isBusy = [this] { return busy; };
        controller.applyLayout = [this](const std::string& id, const std::string& via) {
            applied.push_back(id + " via " + via);
        };
    }
    void add(SavedLayout l) { store.upsert(l); }

    testing::LogCapture logs;
    MemoryStore settings;
    LayoutStore store{settings, [] { return Date{1000}; }};
    FakePanel panel;
    SuggestionController controller{store, settings, panel};
    bool busy = false;
    std::vector<std::string> applied;
};

TEST_F(ControllerTest, ReactionToEachDecision) {
    add(layout("A", 1710, 10));
    controller.considerSuggestion(attached(), "launch");
    EXPECT_EQ(panel.shown, "A LA");
    EXPECT_TRUE(applied.empty());

    controller.considerSuggestion(attached(), "monitors changed");
    EXPECT_EQ(panel.shows, 2);

    // Monitors as the layout puts them: the offer is withdrawn.
    std::vector<LiveDisplay> placed = attached();
    placed[1].frame.y = -200;
    controller.considerSuggestion(placed, "monitors changed");
    EXPECT_FALSE(panel.isShowing());

    panel.shown = "A LA";
    std::vector<LiveDisplay> alone = {attached()[0]};
    controller.considerSuggestion(alone, "monitors changed");
    EXPECT_FALSE(panel.isShowing());

    store.setAutoApply("A", true);
    controller.considerSuggestion(attached(), "monitors changed");
    EXPECT_EQ(applied, std::vector<std::string>{"A via auto"});
    EXPECT_FALSE(panel.isShowing());

    EXPECT_EQ(logs.messages(),
              (std::vector<std::string>{
                  "layout suggest (launch): offer \"LA\"",
                  "layout suggest (monitors changed): offer \"LA\"",
                  "layout suggest (monitors changed): already arranged as \"LA\"",
                  "layout suggest (monitors changed): no saved layout for these monitors",
                  "layout suggest (monitors changed): auto-apply \"LA\"",
              }));
}

TEST_F(ControllerTest, SilentWithoutLayoutsOrWhenSwitchedOff) {
    controller.considerSuggestion(attached(), "launch");
    add(layout("A", 1710, 10));
    settings.set(SuggestionController::suggestKey, SettingValue{false});
    controller.considerSuggestion(attached(), "launch");
    EXPECT_EQ(panel.shows, 0);
    EXPECT_TRUE(logs.messages().empty());
}

TEST_F(ControllerTest, SettingDefaultsToOnUnlessItHoldsFalse) {
    EXPECT_TRUE(controller.suggestEnabled());
    settings.set(SuggestionController::suggestKey, SettingValue{std::string("no")});
    EXPECT_TRUE(controller.suggestEnabled());
    settings.set(SuggestionController::suggestKey, SettingValue{std::int64_t{0}});
    EXPECT_TRUE(controller.suggestEnabled());

    settings.removeObject(SuggestionController::suggestKey);
    panel.shown = "A LA";
    controller.toggleSuggest();
    EXPECT_EQ(settings.boolean(SuggestionController::suggestKey), false);
    EXPECT_FALSE(panel.isShowing());
    controller.toggleSuggest();
    EXPECT_TRUE(controller.suggestEnabled());
    EXPECT_EQ(logs.messages(),
              (std::vector<std::string>{"layouts suggest=false", "layouts suggest=true"}));
}

TEST_F(ControllerTest, Answers) {
    add(layout("A", 1710, 10));
    add(layout("B", -1280, 20));
    controller.answer("A", true, false);
    controller.answer("B", false, true);  // declined, but switch without asking next time
    controller.answer("gone", true, true);
    EXPECT_EQ(applied, std::vector<std::string>{"A via suggestion"});
    EXPECT_FALSE(store.layout("A")->autoApply);
    EXPECT_TRUE(store.layout("B")->autoApply);
    EXPECT_EQ(logs.messages(), (std::vector<std::string>{
                                   "layout \"LB\" auto-apply=true (from suggestion)",
                                   "layout suggestion \"LB\" declined",
                               }));
    // So the next change applies it without asking.
    store.remove("A");
    controller.considerSuggestion(attached(), "monitors changed");
    EXPECT_EQ(applied.back(), "B via auto");
}

TEST(SuggestionFrameTest, PlacedBelowTheAnchorInsideTheVisibleFrame) {
    const ScreenArea left{{0, 0, 1710, 1112}, {0, 28, 1710, 1084}};
    const ScreenArea right{{1710, 0, 1280, 960}, {1710, 0, 1280, 960}};
    const std::vector<ScreenArea> screens{left, right};
    struct Case {
        const char* what;
        std::optional<Rect> anchor;
        std::optional<std::size_t> main;
        Rect expected;
    };
    const Case cases[] = {
        {"centred below the icon", Rect{800, 2, 24, 24}, 0, {642, 34, 340, 132}},
        {"near the right edge: 8 inside", Rect{1690, 2, 20, 24}, 0, {1362, 34, 340, 132}},
        {"near the left edge: 8 inside", Rect{0, 2, 20, 24}, 0, {8, 34, 340, 132}},
        {"icon within the menu bar: below the bar", Rect{100, 0, 24, 10}, 0, {8, 34, 340, 132}},
        {"on the second screen", Rect{2000, 0, 24, 24}, 0, {1842, 30, 340, 132}},
        {"no anchor: top right of the main screen", std::nullopt, 1, {2638, 6, 340, 132}},
        {"anchor off every screen: main", Rect{-500, -500, 10, 10}, 0, {8, 34, 340, 132}},
        {"tray at the bottom: above the icon", Rect{800, 1090, 24, 22}, 0, {642, 952, 340, 132}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(suggestionFrame(c.anchor, screens, c.main), c.expected) << c.what;
    EXPECT_EQ(suggestionFrame(std::nullopt, {}, std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace seam
