#include "base/platform_words.h"

#include "base/text.h"

namespace seam {

namespace {
constexpr std::pair<std::string_view, std::string_view> kLinuxKeyNames[] = {
    {"↩", "Enter"},
    {"⇥", "Tab"},
    {"⌫", "Backspace"},
};
}  // namespace

const PlatformWords linuxWords{
    .builtinKo = "노트북",
    .builtinEn = "Laptop",
    .trayKo = "트레이",
    .trayEn = "tray",
    .control = "Ctrl",
    .option = "Alt",
    .shift = "Shift",
    .command = "Super",
    .separator = "+",
    .requiredKo = "Ctrl·Alt·Super",
    .requiredEn = "Ctrl, Alt or Super",
    .menuKey = "Ctrl+",
    .keyNames = kLinuxKeyNames,
};

const PlatformWords macWords{
    .builtinKo = "맥북",
    .builtinEn = "MacBook",
    .trayKo = "화면 오른쪽 위 메뉴바",
    .trayEn = "menu bar",
    .control = "⌃",
    .option = "⌥",
    .shift = "⇧",
    .command = "⌘",
    .separator = "",
    .requiredKo = "⌘·⌃·⌥",
    .requiredEn = "⌘, ⌃ or ⌥",
    .menuKey = "⌘",
    .keyNames = {},
};

const PlatformWords& platformWords() {
#if defined(__APPLE__)
    return macWords;
#else
    return linuxWords;
#endif
}

std::string_view shownKeyName(std::string_view stored, const PlatformWords& words) {
    for (const auto& [from, to] : words.keyNames)
        if (from == stored) return to;
    return stored;
}

std::string builtinScreenName(const PlatformWords& words) {
    return T(words.builtinKo, words.builtinEn);
}

std::string trayName(const PlatformWords& words) {
    return T(words.trayKo, words.trayEn);
}

}  // namespace seam
