// The tray menu: its items in order, the replaceable tail (support and quit) and
// the hot key texts in the align and undo titles.
#pragma once

#include <cstddef>

#include "shell/hot_key_spec.h"
#include "shell/menu.h"

namespace seam {

// "SWHK" read as a big-endian 32-bit number; carried by every item of the tail.
inline constexpr int menuTailTag = ('S' << 24) | ('W' << 16) | ('H' << 8) | 'K';

struct StatusMenu {
    Menu menu;
    // Positions in menu.items; they sit above the tail, so they never move.
    std::size_t align = 0;
    std::size_t undo = 0;
    std::size_t login = 0;
    // Made but not shown: their features are switched off in this build.
    MenuItem edgeTap;
    MenuItem autoAlign;

    MenuItem& alignItem() { return menu.items[align]; }
    MenuItem& undoItem() { return menu.items[undo]; }
    MenuItem& loginItem() { return menu.items[login]; }
};

// In the language of isKorean(); "Saved Layouts" opens layouts. The align and
// undo titles stay empty until setHotKeyTitles.
StatusMenu buildStatusMenu(const Menu* layouts, bool support);

// A separator, then (with support) the support item and another separator, then
// the quit item; all tagged menuTailTag.
void addSupportAndQuit(Menu& menu, bool korean, bool support);
// Drops every item tagged menuTailTag and appends the tail again; the items above
// it are left as they are.
void replaceSupportAndQuit(Menu& menu, bool korean, bool support);

// "Align Monitors…   Ctrl+Alt+Super+A" and "Undo   Ctrl+Alt+Super+Z".
void setHotKeyTitles(StatusMenu& menu, const HotKeySpec& alignKey, const HotKeySpec& undoKey);

}  // namespace seam
