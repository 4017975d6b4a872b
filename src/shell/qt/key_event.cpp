#include "shell/qt/key_event.h"

#include <QKeyEvent>

#include "shell/hot_key_registry.h"

namespace seam {

namespace {
struct KeyEntry {
    int qtKey;
    std::uint32_t code;
    const char* characters;  // what the key types without modifiers
};

// The keys the X11 hot keys can grab, by the virtual codes they keep. Shifted
// symbols of a US keyboard name their unshifted key, as the key itself is meant.
constexpr KeyEntry kKeys[] = {
    {Qt::Key_A, 0, "a"},
    {Qt::Key_S, 1, "s"},
    {Qt::Key_D, 2, "d"},
    {Qt::Key_F, 3, "f"},
    {Qt::Key_H, 4, "h"},
    {Qt::Key_G, 5, "g"},
    {Qt::Key_Z, 6, "z"},
    {Qt::Key_X, 7, "x"},
    {Qt::Key_C, 8, "c"},
    {Qt::Key_V, 9, "v"},
    {Qt::Key_B, 11, "b"},
    {Qt::Key_Q, 12, "q"},
    {Qt::Key_W, 13, "w"},
    {Qt::Key_E, 14, "e"},
    {Qt::Key_R, 15, "r"},
    {Qt::Key_Y, 16, "y"},
    {Qt::Key_T, 17, "t"},
    {Qt::Key_O, 31, "o"},
    {Qt::Key_U, 32, "u"},
    {Qt::Key_I, 34, "i"},
    {Qt::Key_P, 35, "p"},
    {Qt::Key_L, 37, "l"},
    {Qt::Key_J, 38, "j"},
    {Qt::Key_K, 40, "k"},
    {Qt::Key_N, 45, "n"},
    {Qt::Key_M, 46, "m"},
    {Qt::Key_1, 18, "1"},
    {Qt::Key_2, 19, "2"},
    {Qt::Key_3, 20, "3"},
    {Qt::Key_4, 21, "4"},
    {Qt::Key_6, 22, "6"},
    {Qt::Key_5, 23, "5"},
    {Qt::Key_9, 25, "9"},
    {Qt::Key_7, 26, "7"},
    {Qt::Key_8, 28, "8"},
    {Qt::Key_0, 29, "0"},
    {Qt::Key_Exclam, 18, "1"},
    {Qt::Key_At, 19, "2"},
    {Qt::Key_NumberSign, 20, "3"},
    {Qt::Key_Dollar, 21, "4"},
    {Qt::Key_AsciiCircum, 22, "6"},
    {Qt::Key_Percent, 23, "5"},
    {Qt::Key_ParenLeft, 25, "9"},
    {Qt::Key_Ampersand, 26, "7"},
    {Qt::Key_Asterisk, 28, "8"},
    {Qt::Key_ParenRight, 29, "0"},
    {Qt::Key_Equal, 24, "="},
    {Qt::Key_Plus, 24, "="},
    {Qt::Key_Minus, 27, "-"},
    {Qt::Key_Underscore, 27, "-"},
    {Qt::Key_BracketRight, 30, "]"},
    {Qt::Key_BraceRight, 30, "]"},
    {Qt::Key_BracketLeft, 33, "["},
    {Qt::Key_BraceLeft, 33, "["},
    {Qt::Key_Apostrophe, 39, "'"},
    {Qt::Key_QuoteDbl, 39, "'"},
    {Qt::Key_Semicolon, 41, ";"},
    {Qt::Key_Colon, 41, ";"},
    {Qt::Key_Backslash, 42, "\\"},
    {Qt::Key_Bar, 42, "\\"},
    {Qt::Key_Comma, 43, ","},
    {Qt::Key_Less, 43, ","},
    {Qt::Key_Slash, 44, "/"},
    {Qt::Key_Question, 44, "/"},
    {Qt::Key_Period, 47, "."},
    {Qt::Key_Greater, 47, "."},
    {Qt::Key_QuoteLeft, 50, "`"},
    {Qt::Key_AsciiTilde, 50, "`"},
    {Qt::Key_Return, 36, "\r"},
    {Qt::Key_Enter, 36, "\r"},
    {Qt::Key_Tab, 48, "\t"},
    {Qt::Key_Backtab, 48, "\t"},
    {Qt::Key_Space, 49, " "},
    {Qt::Key_Backspace, 51, ""},
    {Qt::Key_Escape, 53, ""},
    // No name of their own and no characters: recording them only beeps.
    {Qt::Key_Home, 115, ""},
    {Qt::Key_PageUp, 116, ""},
    {Qt::Key_Delete, 117, ""},
    {Qt::Key_End, 119, ""},
    {Qt::Key_PageDown, 121, ""},
    {Qt::Key_F1, 122, ""},
    {Qt::Key_F2, 120, ""},
    {Qt::Key_F3, 99, ""},
    {Qt::Key_F4, 118, ""},
    {Qt::Key_F5, 96, ""},
    {Qt::Key_F6, 97, ""},
    {Qt::Key_F7, 98, ""},
    {Qt::Key_F8, 100, ""},
    {Qt::Key_F9, 101, ""},
    {Qt::Key_F10, 109, ""},
    {Qt::Key_F11, 103, ""},
    {Qt::Key_F12, 111, ""},
    {Qt::Key_Left, 123, ""},
    {Qt::Key_Right, 124, ""},
    {Qt::Key_Down, 125, ""},
    {Qt::Key_Up, 126, ""},
};

bool modifierOnly(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
        case Qt::Key_unknown:
            return true;
        default:
            return false;
    }
}
}  // namespace

std::optional<HotKeySpec::KeyEvent> keyEventFrom(const QKeyEvent& event) {
    if (modifierOnly(event.key())) return std::nullopt;
    const Qt::KeyboardModifiers m = event.modifiers();
    HotKeySpec::KeyEvent e{.keyCode = unmappedKeyCode,
                           .control = m.testFlag(Qt::ControlModifier),
                           .option = m.testFlag(Qt::AltModifier),
                           .shift = m.testFlag(Qt::ShiftModifier),
                           .command = m.testFlag(Qt::MetaModifier)};
    for (const KeyEntry& k : kKeys)
        if (k.qtKey == event.key()) {
            e.keyCode = k.code;
            e.characters = k.characters;
            break;
        }
    return e;
}

bool pressHotKey(const HotKeyRegistry& registry, const QKeyEvent& event) {
    const auto key = keyEventFrom(event);
    const auto spec = key ? HotKeySpec::from(*key) : std::nullopt;
    return spec && registry.pressed(spec->keyCode, spec->mods);
}

}  // namespace seam
