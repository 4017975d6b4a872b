// The layout commands on the simulated window server: saving, applying from the
// menu and by hot key, undoing, deleting, renaming.
#include "shell/layout_commands.h"

#include <gtest/gtest.h>

#include <deque>

#include "base/text.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_server.h"
#include "platform/sim/sim_hot_keys.h"
#include "shell/engine_messages.h"
#include "support/log_capture.h"

namespace seam {
namespace {

constexpr std::uint32_t kPanel = 1;
constexpr std::uint32_t kMonitor = 2;
const HotKeySpec kF5{96, 0x1200, "F5"};
const HotKeySpec kF6{97, 0x1200, "F6"};

struct FakeToasts : ToastFactory {
    struct Window : ToastWindow {
        void fadeIn(double) override {}
        void fadeOut(double, std::function<void()> done) override { done(); }
        void hide() override {}
    };
    Point measure(const std::string& text) override { return {7.0 * text.size(), 14}; }
    std::shared_ptr<ToastWindow> open(const std::string& text, const Rect&) override {
        texts.push_back(text);
        return std::make_shared<Window>();
    }
    std::vector<std::string> texts;
};

struct FakeOverlays : OverlayFactory {
    struct Surface : OverlaySurface {
        void redraw(const OverlayContent&) override {}
        void makeKey() override {}
    };
    void activate() override {}
    std::unique_ptr<OverlaySurface> open(std::uint32_t, const Rect&, std::function<void()>,
                                         std::function<void()>) override {
        return std::make_unique<Surface>();
    }
};

// Answers the save dialogs as a user would, one queued answer per question.
struct FakePrompts : LayoutPrompts {
    std::optional<std::string> askName(const SavePromptTexts& texts,
                                       const std::string& proposed) override {
        asked.push_back(texts);
        proposals.push_back(proposed);
        auto answer = names.empty() ? std::optional<std::string>(proposed) : names.front();
        if (!names.empty()) names.pop_front();
        return answer;
    }
    bool confirmReplace(const ReplacePromptTexts& texts) override {
        replaceAsked.push_back(texts);
        return replace;
    }
    std::deque<std::optional<std::string>> names;
    bool replace = true;
    std::vector<SavePromptTexts> asked;
    std::vector<std::string> proposals;
    std::vector<ReplacePromptTexts> replaceAsked;
};

class LayoutCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.addDisplay({.id = kPanel,
                           .frame = {0, 0, 1710, 1112},
                           .builtin = true,
                           .name = "Built-in",
                           .vendor = 1552,
                           .model = 41234});
        server.addDisplay({.id = kMonitor,
                           .frame = {1710, 0, 1280, 960},
                           .name = "SAMSUNG",
                           .vendor = 19501,
                           .model = 2073,
                           .serial = 48213});
        server.setPointer({100, 100});
        commands.hotKeysChanged = [this] {
            ++hotKeyChanges;
            commands.registerLayoutHotKeys(registry);
        };
        commands.reloadLayouts = [this] { ++reloads; };
        commands.undoKeyDisplay = [] { return defaultUndo.display(); };
        commands.shownSuggestion = [this] { return suggestion; };
        commands.dismissSuggestion = [this] {
            suggestion.reset();
            ++dismissals;
        };
    }
    void TearDown() override { setKorean(false); }

    // Saves the current arrangement as name; its id.
    std::string save(const std::string& name) {
        prompts.names.push_back(name);
        commands.saveLayout();
        return store.layoutNamed(name)->id;
    }
    Rect frame(std::uint32_t id) { return server.find(id)->frame; }
    std::vector<std::string> loggedWith(std::string_view prefix) const {
        std::vector<std::string> out;
        for (const auto& m : logs.messages())
            if (m.rfind(prefix, 0) == 0) out.push_back(m);
        return out;
    }
    MenuItem menuItemFor(const std::string& id) {
        return {.command = MenuCommand::applyLayoutItem, .represented = id};
    }

    testing::LogCapture logs;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    SimDisplayServer server;
    Arrangement arrangement{server};
    Engine engine{arrangement, server, clock, scheduler};
    FakeOverlays overlays;
    AlignMode alignMode{arrangement, server, scheduler, overlays};
    FakeToasts toasts;
    Pill pill{arrangement, scheduler, toasts};
    MemoryStore prefs;
    LayoutStore store{prefs, [this] { return Date::fromUnix(clock.wallTime()); }};
    SimHotKeys keys;
    HotKeyRegistry registry{keys};
    FakePrompts prompts;
    LayoutCommands::Parts parts() {
        return {.store = store,
                .arrangement = arrangement,
                .identity = server,
                .engine = engine,
                .alignMode = alignMode,
                .pill = pill,
                .pointer = server,
                .scheduler = scheduler,
                .clock = clock,
                .prefs = prefs,
                .prompts = prompts};
    }
    LayoutCommands commands{parts()};
    std::optional<std::string> suggestion;
    int hotKeyChanges = 0, reloads = 0, dismissals = 0;
};

TEST_F(LayoutCommandsTest, SaveStoresTheArrangementUnderTheTrimmedName) {
    prompts.names.push_back("  Desk \n");
    commands.saveLayout();
    ASSERT_EQ(prompts.proposals, std::vector<std::string>{"Layout 1"});
    EXPECT_EQ(prompts.asked[0].title, "Save Current Layout");
    EXPECT_EQ(prompts.asked[0].message, "What should we call this layout?");
    EXPECT_EQ(prompts.asked[0].placeholder, "e.g. Home, Office");
    EXPECT_EQ(prompts.asked[0].save, "Save");
    EXPECT_EQ(prompts.asked[0].cancel, "Cancel");

    ASSERT_EQ(store.layouts().size(), 1u);
    const SavedLayout& l = store.layouts()[0];
    EXPECT_EQ(l.name, "Desk");
    ASSERT_EQ(l.displays.size(), 2u);
    EXPECT_EQ(l.displays[1].x, 1710);
    EXPECT_EQ(l.savedAt, Date::fromUnix(clock.wallTime()));
    EXPECT_EQ(
        loggedWith("layout "),
        std::vector<std::string>{"layout saved \"Desk\" id=1[주] APP/41234 sn=- (0,0 1710x1112) "
                                 "| id=2 SAM/2073 sn#48213 (1710,0 1280x960) "
                                 "indistinguishable=false"});
    EXPECT_EQ(hotKeyChanges, 1);
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(prompts.replaceAsked.empty());

    // An empty or blank answer takes the proposed name.
    for (const char* blank : {"", " \t "}) {
        prompts.names.push_back(blank);
        commands.saveLayout();
    }
    EXPECT_EQ(prompts.proposals, (std::vector<std::string>{"Layout 1", "Layout 2", "Layout 3"}));
    ASSERT_EQ(store.layouts().size(), 3u);
    EXPECT_EQ(store.layouts()[1].name, "Layout 2");
    EXPECT_EQ(store.layouts()[2].name, "Layout 3");
}

TEST_F(LayoutCommandsTest, SaveCancelledOrWithOneDisplayStoresNothing) {
    prompts.names.push_back(std::nullopt);
    commands.saveLayout();
    EXPECT_TRUE(store.layouts().empty());
    EXPECT_EQ(logs.messages(), std::vector<std::string>{"layout save cancelled"});
    EXPECT_EQ(reloads, 0);

    server.removeDisplay(kMonitor);
    commands.saveLayout();
    EXPECT_EQ(prompts.asked.size(), 1u);  // not asked again
    EXPECT_TRUE(store.layouts().empty());
}

TEST_F(LayoutCommandsTest, SaveUnderATakenNameReplacesInPlace) {
    const std::string home = save("Home");
    commands.applyLayout(home, "menu");
    const auto applied = store.layout(home)->lastApplied;
    ASSERT_TRUE(applied);
    commands.setAutoApply(home, true);
    EXPECT_EQ(logs.messages().back(), "layout \"Home\" auto-apply=true");
    commands.setAutoApply("GONE", false);
    EXPECT_EQ(logs.messages().back(), "layout \"GONE\" auto-apply=false");
    save("Office");
    arrangement.setOrigin(kMonitor, {-1280, 0});

    prompts.replace = false;
    prompts.names.push_back(" home ");
    commands.saveLayout();
    ASSERT_EQ(prompts.replaceAsked.size(), 1u);
    EXPECT_EQ(prompts.replaceAsked[0].title, "A layout with this name already exists. Replace it?");
    EXPECT_EQ(prompts.replaceAsked[0].replace, "Replace");
    EXPECT_EQ(logs.messages().back(), "layout save cancelled (name \"Home\" taken)");
    EXPECT_EQ(store.layouts()[0].name, "Home");

    prompts.replace = true;
    prompts.names.push_back(" home ");
    clock.advance(60);
    commands.saveLayout();
    ASSERT_EQ(store.layouts().size(), 2u);
    const SavedLayout& l = store.layouts()[0];
    EXPECT_EQ(l.id, home);
    EXPECT_EQ(l.name, "home");
    EXPECT_EQ(l.lastApplied, applied);
    EXPECT_TRUE(l.autoApply);
    EXPECT_EQ(l.savedAt, Date::fromUnix(clock.wallTime()));
    EXPECT_EQ(l.displays[1].x, -1280);
    EXPECT_EQ(store.layouts()[1].name, "Office");
    EXPECT_EQ(logs.messages().back().rfind("layout replaced \"home\" id=", 0), 0u);
}

TEST_F(LayoutCommandsTest, IdenticalMonitorsAreWarnedOfWhenSaving) {
    server.find(kPanel)->builtin = false;
    server.find(kPanel)->vendor = 19501;
    server.find(kPanel)->model = 2073;
    server.find(kMonitor)->serial = 0;
    save("Twins");
    EXPECT_EQ(prompts.asked[0].message,
              "What should we call this layout?\n\nSome of these monitors are identical, so they "
              "may swap places when applied. If that happens, use Undo.");
    EXPECT_TRUE(logs.messages().back().ends_with(" indistinguishable=true"));

    setKorean(true);
    EXPECT_EQ(savePromptTexts(true).message,
              "이 배치를 뭐라고 부를까요?\n\n똑같은 모니터가 여러 대라 맞출 때 서로 바뀔 수 "
              "있어요. 이상하면 되돌리기를 눌러 주세요.");
    EXPECT_EQ(savePromptTexts(false).title, "지금 배치 저장");
    EXPECT_EQ(replacePromptTexts().replace, "바꿔 쓰기");
}

TEST_F(LayoutCommandsTest, ApplyFromTheMenuMovesLogsAndCanBeUndone) {
    const std::string desk = save("Desk");
    arrangement.setOrigin(kMonitor, {0, 1112});
    clock.advance(30);
    const std::size_t before = server.transactions().size();

    commands.applyLayoutItem(menuItemFor(desk));
    EXPECT_EQ(frame(kMonitor), (Rect{1710, 0, 1280, 960}));
    EXPECT_EQ(frame(kPanel), (Rect{0, 0, 1710, 1112}));
    EXPECT_EQ(server.transactions().size(), before + 1);
    EXPECT_EQ(loggedWith("layout \"Desk\""),
              std::vector<std::string>{
                  "layout \"Desk\" via=menu before id=1[주] (0,0 1710x1112) | id=2 (0,1112 "
                  "1280x960) move id=1->(0,0) id=2->(1710,0) ok=true"});
    EXPECT_EQ(store.layout(desk)->lastApplied, Date::fromUnix(clock.wallTime()));

    // The message waits for the move to settle.
    scheduler.advance(0.39);
    EXPECT_TRUE(toasts.texts.empty());
    scheduler.advance(0.02);
    EXPECT_EQ(toasts.texts,
              std::vector<std::string>{"Switched to Desk · Ctrl+Alt+Super+Z to undo"});
    EXPECT_EQ(logs.messages().back(), "after: id=1[주] (0,0 1710x1112) | id=2 (1710,0 1280x960)");

    EXPECT_EQ(engine.undo(), UndoOutcome::undone);
    EXPECT_EQ(frame(kMonitor), (Rect{0, 1112, 1280, 960}));
    EXPECT_EQ(logs.messages().back(), "undo id=1->(0,0) id=2->(0,1112) ok=true");
}

TEST_F(LayoutCommandsTest, ApplyingALayoutInPlaceStillApplies) {
    const std::string desk = save("Desk");
    setKorean(true);
    clock.advance(5);
    commands.applyLayout(desk, "menu");
    EXPECT_EQ(loggedWith("layout \"Desk\"")
                  .back()
                  .rfind("layout \"Desk\" via=menu (already in place) before ", 0),
              0u);
    EXPECT_EQ(store.layout(desk)->lastApplied, Date::fromUnix(clock.wallTime()));
    scheduler.advance(0.4);
    EXPECT_EQ(toasts.texts,
              std::vector<std::string>{"Desk 배치로 맞췄어요 · Ctrl+Alt+Super+Z 되돌리기"});
}

TEST_F(LayoutCommandsTest, OtherMonitorsLeaveEverythingAsItWas) {
    const std::string desk = save("Desk");
    server.find(kMonitor)->model = 9999;
    const std::size_t before = server.transactions().size();
    commands.applyLayout(desk, "hotkey");
    EXPECT_EQ(logs.messages().back(),
              "layout \"Desk\" via=hotkey: monitors differ (now id=1[주] APP/41234 sn=- (0,0 "
              "1710x1112) | id=2 SAM/9999 sn#48213 (1710,0 1280x960))");
    EXPECT_EQ(toasts.texts, std::vector<std::string>{"Different monitors are connected"});
    EXPECT_EQ(server.transactions().size(), before);
    EXPECT_FALSE(store.layout(desk)->lastApplied);
    scheduler.advance(1);
    EXPECT_EQ(toasts.texts.size(), 1u);
    EXPECT_EQ(engine.undo(), UndoOutcome::nothing);
}

TEST_F(LayoutCommandsTest, ApplyEndsAlignModeAndClosesTheSuggestion) {
    const std::string desk = save("Desk");
    ASSERT_EQ(alignMode.start(), AlignMode::Start::started);
    suggestion = desk;
    commands.applyLayout(desk, "suggestion");
    EXPECT_FALSE(alignMode.isActive());
    EXPECT_EQ(dismissals, 1);
    EXPECT_EQ(loggedWith("layout \"Desk\" via=suggestion").size(), 1u);
}

TEST_F(LayoutCommandsTest, NothingForUnknownLayoutsOrItemsWithoutALayout) {
    save("Desk");
    const auto count = logs.messages().size();
    commands.applyLayout("NO-SUCH-ID", "menu");
    commands.applyLayoutItem({.command = MenuCommand::applyLayoutItem});
    commands.deleteLayout("NO-SUCH-ID");
    EXPECT_FALSE(commands.renameLayout("NO-SUCH-ID", "x"));
    EXPECT_EQ(logs.messages().size(), count);
    EXPECT_EQ(store.layouts().size(), 1u);
}

TEST_F(LayoutCommandsTest, ApplyByNameMatchesAsTheStoreComparesNames) {
    const std::string desk = save("Desk");
    save("Desk 2");
    struct Case {
        const char* name;
        bool differentMonitor;
        ApplyOutcome outcome;
    };
    for (const Case& c :
         {Case{"Desk", false, ApplyOutcome::applied}, Case{" desk\n", false, ApplyOutcome::applied},
          Case{"DESK 2", false, ApplyOutcome::applied},
          Case{"Des", false, ApplyOutcome::unknownLayout},
          Case{"", false, ApplyOutcome::unknownLayout},
          Case{"Desk", true, ApplyOutcome::monitorsDiffer}}) {
        server.find(kMonitor)->model = c.differentMonitor ? 9999 : 2073;
        arrangement.setOrigin(kMonitor, {0, 1112});
        const std::size_t before = server.transactions().size();
        EXPECT_EQ(commands.applyLayoutNamed(c.name, "command"), c.outcome) << c.name;
        const bool moved = c.outcome == ApplyOutcome::applied;
        EXPECT_EQ(server.transactions().size(), before + (moved ? 1 : 0)) << c.name;
        EXPECT_EQ(frame(kMonitor).origin(), (moved ? Point{1710, 0} : Point{0, 1112})) << c.name;
    }
    EXPECT_EQ(loggedWith("layout \"Des\" "),
              std::vector<std::string>{"layout \"Des\" via=command: no such layout"});
    EXPECT_EQ(store.layout(desk)->name, "Desk");
}

TEST_F(LayoutCommandsTest, DeletingMovesTheLaterLayoutsHotKeys) {
    const std::string first = save("First");
    const std::string second = save("Second");
    commands.layoutKeys[first] = kF5;
    commands.layoutKeys[second] = kF6;
    kF5.save("layout." + first, prefs);
    kF6.save("layout." + second, prefs);
    registry.installHotKeyHandler();
    commands.registerLayoutHotKeys(registry);
    EXPECT_EQ(commands.layoutHotKeyIDs(), (std::vector<std::uint32_t>{100, 101}));
    EXPECT_EQ(keys.registrations(), 2u);

    suggestion = second;
    commands.deleteLayout(first);
    EXPECT_EQ(dismissals, 0);  // only its own suggestion closes
    EXPECT_EQ(logs.messages().back(), "layout deleted \"First\"");
    EXPECT_FALSE(store.layout(first));
    EXPECT_FALSE(commands.layoutKeys.count(first));
    EXPECT_FALSE(prefs.data("hotkey.layout." + first));
    EXPECT_TRUE(prefs.data("hotkey.layout." + second));
    EXPECT_EQ(reloads, 3);
    EXPECT_EQ(commands.layoutHotKeyIDs(), std::vector<std::uint32_t>{100});
    EXPECT_TRUE(registry.registered(100));
    EXPECT_FALSE(registry.registered(101));
    EXPECT_FALSE(registry.hasAction(101));
    EXPECT_EQ(keys.registrations(), 1u);
    EXPECT_FALSE(keys.press(kF5.keyCode, kF5.mods));

    arrangement.setOrigin(kMonitor, {0, 1112});
    ASSERT_TRUE(keys.press(kF6.keyCode, kF6.mods));
    EXPECT_EQ(loggedWith("layout \"Second\" via=hotkey ").size(), 1u);
    EXPECT_EQ(frame(kMonitor).origin(), (Point{1710, 0}));
    scheduler.advance(0.4);
    EXPECT_EQ(toasts.texts.back(), "Switched to Second · Ctrl+Alt+Super+Z to undo");
    EXPECT_EQ(engine.undo(), UndoOutcome::undone);
    EXPECT_EQ(frame(kMonitor).origin(), (Point{0, 1112}));

    commands.deleteLayout(second);
    EXPECT_EQ(dismissals, 1);
    EXPECT_FALSE(suggestion);
}

TEST_F(LayoutCommandsTest, Rename) {
    const std::string home = save("Home");
    const std::string office = save("Office");
    const auto count = logs.messages().size();
    EXPECT_TRUE(commands.renameLayout(home, "Home"));
    EXPECT_EQ(logs.messages().size(), count);  // nothing changed, nothing logged

    EXPECT_TRUE(commands.renameLayout(home, " HOME "));
    EXPECT_EQ(store.layout(home)->name, "HOME");
    EXPECT_EQ(logs.messages().back(), "layout renamed \"Home\" -> \"HOME\"");

    EXPECT_FALSE(commands.renameLayout(home, " office"));
    EXPECT_EQ(logs.messages().back(), "layout rename refused \"HOME\" -> \" office\"");
    EXPECT_FALSE(commands.renameLayout(office, "  "));
    EXPECT_EQ(logs.messages().back(), "layout rename refused \"Office\" -> \"  \"");
    EXPECT_EQ(store.layout(office)->name, "Office");
}

TEST_F(LayoutCommandsTest, StoredLayoutKeysAreLoadedAndBrokenOnesDropped) {
    const std::string a = save("A");
    const std::string b = save("B");
    kF5.save("layout." + a, prefs);
    const std::string broken = R"({"keyCode":6,"mods":6400})";
    prefs.set("hotkey.layout." + b, Bytes(broken.begin(), broken.end()));
    commands.layoutKeys[b] = kF6;
    commands.loadLayoutKeys();
    EXPECT_EQ(commands.layoutKeys, (std::map<std::string, HotKeySpec>{{a, kF5}}));
}

// Applying a layout, undoing and connecting, each accepted or refused by the
// server: the message says what really happened, and the log says ok=false.
struct Outcome {
    const char* name;
    enum class Op { layout, undo, connect } op;
    enum class Refusal { none, atBegin, secondMove, atComplete } refusal;
    bool korean;
    const char* toast;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << o.name;
}

class MoveOutcomes : public LayoutCommandsTest, public ::testing::WithParamInterface<Outcome> {
  protected:
    EngineMessages messages{engine, pill, server, [] { return defaultUndo.display(); }};
};

TEST_P(MoveOutcomes, AreToldAsTheyHappened) {
    using Op = Outcome::Op;
    using Refusal = Outcome::Refusal;
    const Outcome& c = GetParam();
    const std::string desk = save("Desk");
    const char* logPrefix = "connect ";
    if (c.op == Op::layout) {
        arrangement.setOrigin(kMonitor, {0, 1112});
        logPrefix = "layout \"Desk\" via=menu";
    } else if (c.op == Op::undo) {
        engine.connect(kPanel, Side::top, 855, kMonitor, 2350);
        scheduler.advance(1);
        logPrefix = "undo ";
    }
    toasts.texts.clear();
    const Rect before = frame(kMonitor);
    server.failBegin(c.refusal == Refusal::atBegin);
    server.failMoveNumber(c.refusal == Refusal::secondMove ? 2 : 0);
    server.failComplete(c.refusal == Refusal::atComplete);
    setKorean(c.korean);

    switch (c.op) {
        case Op::layout:
            EXPECT_EQ(commands.applyLayout(desk, "menu"),
                      c.refusal == Refusal::none ? ApplyOutcome::applied : ApplyOutcome::refused);
            break;
        case Op::undo:
            messages.undo();
            break;
        case Op::connect:
            engine.connect(kPanel, Side::top, 855, kMonitor, 2350);
            break;
    }
    scheduler.advance(2);

    const bool refused = c.refusal != Refusal::none;
    EXPECT_EQ(toasts.texts, std::vector<std::string>{c.toast});
    const auto lines = loggedWith(logPrefix);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].ends_with(refused ? " ok=false" : " ok=true")) << lines[0];
    EXPECT_EQ(frame(kMonitor) == before, refused);
    EXPECT_EQ(store.layout(desk)->lastApplied.has_value(), c.op == Op::layout && !refused);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveOutcomes,
    ::testing::Values(Outcome{"layout", Outcome::Op::layout, Outcome::Refusal::none, false,
                              "Switched to Desk · Ctrl+Alt+Super+Z to undo"},
                      Outcome{"layoutRefused", Outcome::Op::layout, Outcome::Refusal::secondMove,
                              false, "Couldn’t switch to Desk"},
                      Outcome{"layoutRefusedKo", Outcome::Op::layout, Outcome::Refusal::atComplete,
                              true, "Desk 배치로 맞추지 못했어요"},
                      Outcome{"undo", Outcome::Op::undo, Outcome::Refusal::none, false,
                              "Restored the previous layout"},
                      Outcome{"undoRefused", Outcome::Op::undo, Outcome::Refusal::atBegin, false,
                              "Couldn’t restore the previous layout"},
                      Outcome{"undoRefusedKo", Outcome::Op::undo, Outcome::Refusal::atComplete,
                              true, "원래 배치로 되돌리지 못했어요"},
                      Outcome{"connect", Outcome::Op::connect, Outcome::Refusal::none, false,
                              "↑ Aligned · Ctrl+Alt+Super+Z to undo"},
                      Outcome{"connectRefused", Outcome::Op::connect, Outcome::Refusal::atComplete,
                              false, "Couldn’t move the monitor"},
                      Outcome{"connectRefusedKo", Outcome::Op::connect, Outcome::Refusal::atBegin,
                              true, "모니터를 옮기지 못했어요"}),
    [](const ::testing::TestParamInfo<Outcome>& info) { return std::string(info.param.name); });

TEST_F(LayoutCommandsTest, NoMessageAfterTheCommandsAreGone) {
    auto gone = std::make_unique<LayoutCommands>(parts());
    const std::string desk = save("Desk");
    gone->applyLayout(desk, "menu");
    gone.reset();
    scheduler.advance(1);
    EXPECT_TRUE(toasts.texts.empty());
}

}  // namespace
}  // namespace seam
