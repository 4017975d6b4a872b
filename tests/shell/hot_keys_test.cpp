#include <gtest/gtest.h>

#include "platform/sim/sim_hot_keys.h"
#include "shell/hot_key_registry.h"
#include "shell/hot_key_spec.h"
#include "support/log_capture.h"

namespace seam {
namespace {

using KeyEvent = HotKeySpec::KeyEvent;

// A key event: modifiers as letters, c(ontrol) o(ption) s(hift) m (command).
KeyEvent ev(std::uint32_t keyCode, std::string_view mods, std::string characters = "") {
    const auto has = [&](char m) { return mods.find(m) != std::string_view::npos; };
    return {keyCode, has('c'), has('o'), has('s'), has('m'), std::move(characters)};
}

// Each desktop writes the same stored key its own way.
TEST(HotKeySpec, FromKeyEvents) {
    struct Case {
        KeyEvent event;
        std::optional<HotKeySpec> spec;
        const char* onLinux;
        const char* onMac;
    };
    const Case cases[] = {
        {ev(0, "", "a"), std::nullopt, "", ""},
        {ev(0, "s", "a"), std::nullopt, "", ""},
        {ev(96, "cs", "x"), HotKeySpec{96, 0x1200, "F5"}, "Ctrl+Shift+F5", "⌃⇧F5"},
        {ev(49, "om", " "), HotKeySpec{49, 0x900, "Space"}, "Alt+Super+Space", "⌥⌘Space"},
        {ev(0, "m", "a"), HotKeySpec{0, 0x100, "A"}, "Super+A", "⌘A"},  // upper-cased
        {ev(123, "cosm"), HotKeySpec{123, 0x1B00, "←"}, "Ctrl+Alt+Shift+Super+←", "⌃⌥⇧⌘←"},
        {ev(36, "c"), HotKeySpec{36, 0x1000, "↩"}, "Ctrl+Enter", "⌃↩"},
        {ev(48, "o"), HotKeySpec{48, 0x800, "⇥"}, "Alt+Tab", "⌥⇥"},
        {ev(51, "m"), HotKeySpec{51, 0x100, "⌫"}, "Super+Backspace", "⌘⌫"},
        {ev(80, "c"), std::nullopt, "", ""},  // no name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event.keyCode);
        const auto spec = HotKeySpec::from(c.event);
        EXPECT_EQ(spec, c.spec);
        if (spec) {
            EXPECT_EQ(spec->display(linuxWords), c.onLinux);
            EXPECT_EQ(spec->display(macWords), c.onMac);
        }
    }
    EXPECT_EQ(defaultAlign.display(), "Ctrl+Alt+Super+A");
    EXPECT_EQ(defaultUndo.display(), "Ctrl+Alt+Super+Z");
}

TEST(HotKeySpec, JsonNeedsAllThreeKeys) {
    struct Case {
        const char* json;
        std::optional<HotKeySpec> spec;
    };
    const Case cases[] = {
        {R"({"keyCode":6,"mods":6400,"key":"Z"})", HotKeySpec{6, 6400, "Z"}},
        {R"({ "key" : "Z", "mods" : 6400.0, "keyCode" : 6 })", HotKeySpec{6, 6400, "Z"}},
        {R"({"keyCode":6,"mods":6400})", std::nullopt},
        {R"({"keyCode":-1,"mods":6400,"key":"Z"})", std::nullopt},
        {R"({"keyCode":6.5,"mods":6400,"key":"Z"})", std::nullopt},
        {R"({"keyCode":"6","mods":6400,"key":"Z"})", std::nullopt},
        {"not json", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(HotKeySpec::fromJson(c.json), c.spec) << c.json;

    MemoryStore store;
    HotKeySpec{96, 0x1200, "F5"}.save("align", store);
    EXPECT_EQ(HotKeySpec::stored("align", store), (HotKeySpec{96, 0x1200, "F5"}));
    const std::string broken = R"({"keyCode":6,"mods":6400})";
    store.set("hotkey.undo", Bytes(broken.begin(), broken.end()));
    EXPECT_EQ(HotKeySpec::stored("undo", store).value_or(defaultUndo), defaultUndo);
    EXPECT_FALSE(HotKeySpec::stored("layout.x", store));
}

TEST(HotKeyRegistry, RegistersReplacesAndRefuses) {
    SimHotKeys keys;
    HotKeyRegistry registry(keys);
    registry.installHotKeyHandler();
    std::vector<std::string> fired;
    registry.registerHotKey(defaultAlign, 2, [&] { fired.push_back("first"); });
    registry.registerHotKey(defaultAlign, 2, [&] { fired.push_back("align"); });
    EXPECT_EQ(keys.registrations(), 1u);
    EXPECT_TRUE(keys.press(0, 0x1900));
    EXPECT_EQ(fired, std::vector<std::string>{"align"});

    testing::LogCapture capture;
    keys.taken.insert({6, 0x1900});
    registry.registerHotKey(defaultUndo, 1, [&] { fired.push_back("undo"); });
    EXPECT_EQ(capture.messages(),
              std::vector<std::string>{"hotkey register failed id=1 Ctrl+Alt+Super+Z err=-9878"});
    EXPECT_FALSE(registry.registered(1));
    EXPECT_TRUE(registry.hasAction(1));
    EXPECT_FALSE(keys.press(6, 0x1900));

    registry.unregisterAllHotKeys();
    EXPECT_EQ(keys.registrations(), 0u);
    EXPECT_FALSE(keys.press(0, 0x1900));
    registry.registerHotKey(defaultAlign, 2, [&] { fired.push_back("again"); });
    EXPECT_TRUE(keys.press(0, 0x1900));
    EXPECT_EQ(fired.back(), "again");
    registry.fire(77);  // an id without an action does nothing
}

// Two actions given the same keys (the settings window's Defaults button does not
// check for clashes): each key stays live until its last action lets go of it.
// A press that reaches our own window instead of the grab runs the same action.
TEST(HotKeyRegistry, SharedKeysStayLiveUntilTheirLastActionGoes) {
    const HotKeySpec a = defaultAlign, z = defaultUndo;
    enum class Op { add, remove, pause };
    struct Step {
        Op op;
        std::uint32_t id = 0;
        HotKeySpec spec = defaultAlign;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::uint32_t onA, onZ;  // the id each key runs, 0 for none
    };
    const Case cases[] = {
        {"both hold it: the lower id runs", {{Op::add, 100, a}, {Op::add, 2, a}}, 2, 0},
        {"the layout lets go", {{Op::add, 2, a}, {Op::add, 100, a}, {Op::remove, 100}}, 2, 0},
        {"align lets go", {{Op::add, 2, a}, {Op::add, 100, a}, {Op::remove, 2}}, 100, 0},
        {"align moves to other keys",
         {{Op::add, 2, a}, {Op::add, 100, a}, {Op::add, 2, z}},
         100,
         2},
        {"both let go",
         {{Op::add, 2, a}, {Op::add, 100, a}, {Op::remove, 2}, {Op::remove, 100}},
         0,
         0},
        {"recording pauses them all", {{Op::add, 2, a}, {Op::add, 1, z}, {Op::pause}}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimHotKeys keys;
        HotKeyRegistry registry(keys);
        registry.installHotKeyHandler();
        std::vector<std::uint32_t> fired;
        for (const Step& s : c.steps) {
            if (s.op == Op::add)
                registry.registerHotKey(s.spec, s.id, [&fired, id = s.id] { fired.push_back(id); });
            else if (s.op == Op::remove)
                registry.remove(s.id);
            else
                registry.unregisterAllHotKeys();
        }
        for (const auto& [spec, id] : {std::pair{a, c.onA}, std::pair{z, c.onZ}}) {
            SCOPED_TRACE(spec.display());
            EXPECT_EQ(keys.grabbed(spec.keyCode, spec.mods), id != 0);
            for (const bool grabbed : {true, false}) {
                fired.clear();
                const bool caught = grabbed ? keys.press(spec.keyCode, spec.mods)
                                            : registry.pressed(spec.keyCode, spec.mods);
                EXPECT_EQ(caught, id != 0) << (grabbed ? "grab" : "own window");
                EXPECT_EQ(fired, id ? std::vector<std::uint32_t>{id} : std::vector<std::uint32_t>{})
                    << (grabbed ? "grab" : "own window");
            }
        }
    }
}

}  // namespace
}  // namespace seam
