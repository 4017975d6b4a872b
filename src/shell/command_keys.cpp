#include "shell/command_keys.h"

#include <cctype>
#include <utility>

#include "base/log.h"
#include "base/text.h"
#include "shell/command_service.h"

namespace seam {

namespace {
struct ModWords {
    const char *control, *option, *shift, *command;
};

std::optional<std::string> combo(const HotKeySpec& spec, const ModWords& words,
                                 const char* between) {
    const auto key = keysymName(spec.keyCode);
    if (!key) return std::nullopt;
    std::string out;
    for (const auto& [bit, word] :
         {std::pair{HotKeySpec::control, words.control},
          std::pair{HotKeySpec::option, words.option}, std::pair{HotKeySpec::shift, words.shift},
          std::pair{HotKeySpec::command, words.command}})
        if (spec.mods & bit) out += std::string(word) + between;
    if (out.empty()) return std::nullopt;
    return out + *key;
}

// Ids may hold anything; desktops take letters, digits and dashes in names.
std::string nameWord(const std::string& id) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : id) {
        if (std::isalnum(c) || c == '-') {
            out += char(c);
        } else {
            out += '_';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string quoted(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
}  // namespace

std::vector<CommandKey> commandKeysFor(const HotKeySpec& align, const HotKeySpec& undo,
                                       const LayoutKeys& layoutKeys,
                                       const std::vector<SavedLayout>& layouts) {
    std::vector<CommandKey> keys = {{align, {"--align"}, "align"}, {undo, {"--undo"}, "undo"}};
    for (const SavedLayout& layout : layouts)
        if (auto it = layoutKeys.find(layout.id); it != layoutKeys.end())
            keys.push_back(
                {it->second, {"--apply-layout", layout.name}, "layout-" + nameWord(layout.id)});
    return keys;
}

KeyRoute chooseKeyRoute(const KeyRouteOffers& offers) {
    // Sway first: an X11 backend under it grabs keys only while an X window
    // has the focus.
    if (offers.sway) return KeyRoute::sway;
    if (offers.platformKeys) return KeyRoute::platform;
    if (offers.portal) return KeyRoute::portal;
    if (offers.gnome) return KeyRoute::gnome;
    return KeyRoute::none;
}

std::string keyRouteLine(KeyRoute route, std::string_view platform) {
    switch (route) {
        case KeyRoute::platform:
            return "hot keys: " + std::string(platform) + " key grabs";
        case KeyRoute::sway:
            return "hot keys: sway bindings";
        case KeyRoute::portal:
            return "hot keys: portal";
        case KeyRoute::gnome:
            return "hot keys: gnome custom shortcuts";
        case KeyRoute::none:
            break;
    }
    return "hot keys: none - bind seamwright --align, --undo or --apply-layout NAME in the "
           "desktop's keyboard settings";
}

void runKeyCommand(const std::vector<std::string>& args, const CommandActions& actions) {
    if (args == std::vector<std::string>{"--align"}) {
        if (actions.align) actions.align();
    } else if (args == std::vector<std::string>{"--undo"}) {
        if (actions.undo) actions.undo();
    } else if (args.size() == 2 && args[0] == "--apply-layout") {
        if (actions.applyLayout) actions.applyLayout(args[1]);
    } else {
        log("hot keys: no command for a key press");
    }
}

std::optional<std::string> portalTrigger(const HotKeySpec& spec) {
    return combo(spec, {"CTRL", "ALT", "SHIFT", "LOGO"}, "+");
}

std::optional<std::string> swayCombo(const HotKeySpec& spec) {
    return combo(spec, {"Ctrl", "Mod1", "Shift", "Mod4"}, "+");
}

std::optional<std::string> gnomeAccelerator(const HotKeySpec& spec) {
    return combo(spec, {"<Control>", "<Alt>", "<Shift>", "<Super>"}, "");
}

std::string shellCommand(const std::string& program, const std::vector<std::string>& args) {
    std::string line = quoted(program);
    for (const std::string& a : args) line += " " + (a.starts_with("--") ? a : quoted(a));
    return line;
}

std::string commandKeyDescription(const CommandKey& key) {
    if (key.args == std::vector<std::string>{"--align"})
        return T("Seamwright: 모니터 정렬하기", "Seamwright: Align Monitors");
    if (key.args == std::vector<std::string>{"--undo"})
        return T("Seamwright: 되돌리기", "Seamwright: Undo");
    const std::string name = key.args.size() > 1 ? key.args[1] : "";
    return T("Seamwright: 배치 적용 · ", "Seamwright: Apply layout · ") + name;
}

}  // namespace seam
