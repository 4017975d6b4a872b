#include "shell/hot_key_spec.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <utility>

namespace seam {

namespace {
constexpr std::pair<std::uint32_t, const char*> kKeyNames[] = {
    {123, "←"}, {124, "→"},  {125, "↓"},  {126, "↑"},   {36, "↩"},    {49, "Space"}, {48, "⇥"},
    {51, "⌫"},  {122, "F1"}, {120, "F2"}, {99, "F3"},   {118, "F4"},  {96, "F5"},    {97, "F6"},
    {98, "F7"}, {100, "F8"}, {101, "F9"}, {109, "F10"}, {103, "F11"}, {111, "F12"},
};

// Other writers may store whole numbers as doubles ("6.0").
std::optional<std::uint32_t> unsigned32(const nlohmann::json& v) {
    if (v.is_number_unsigned()) {
        const auto n = v.get<std::uint64_t>();
        if (n <= UINT32_MAX) return std::uint32_t(n);
    } else if (v.is_number_float()) {
        const double d = v.get<double>();
        if (d >= 0 && d <= UINT32_MAX && d == double(std::uint64_t(d))) return std::uint32_t(d);
    }
    return std::nullopt;
}
}  // namespace

std::optional<std::string> keyName(std::uint32_t keyCode) {
    for (const auto& [code, text] : kKeyNames)
        if (code == keyCode) return text;
    return std::nullopt;
}

std::string HotKeySpec::display(const PlatformWords& words) const {
    const std::pair<std::uint32_t, std::string_view> order[] = {{control, words.control},
                                                                {option, words.option},
                                                                {shift, words.shift},
                                                                {command, words.command}};
    std::string s;
    for (const auto& [bit, name] : order)
        if (mods & bit) (s += name) += words.separator;
    return s += shownKeyName(key, words);
}

std::string HotKeySpec::json() const {
    nlohmann::json j = {{"keyCode", keyCode}, {"mods", mods}, {"key", key}};
    return j.dump();
}

std::optional<HotKeySpec> HotKeySpec::fromJson(const std::string& text) {
    const nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    if (!j.is_object()) return std::nullopt;
    auto code = j.find("keyCode"), m = j.find("mods"), k = j.find("key");
    if (code == j.end() || m == j.end() || k == j.end()) return std::nullopt;
    const auto c = unsigned32(*code), mm = unsigned32(*m);
    if (!c || !mm || !k->is_string()) return std::nullopt;
    return HotKeySpec{*c, *mm, k->get<std::string>()};
}

std::optional<HotKeySpec> HotKeySpec::stored(const std::string& name,
                                             const SettingsStore& defaults) {
    const auto bytes = defaults.data("hotkey." + name);
    if (!bytes) return std::nullopt;
    return fromJson(std::string(bytes->begin(), bytes->end()));
}

void HotKeySpec::save(const std::string& name, SettingsStore& defaults) const {
    const std::string text = json();
    defaults.set("hotkey." + name, Bytes(text.begin(), text.end()));
}

std::optional<HotKeySpec> HotKeySpec::from(const KeyEvent& event) {
    std::uint32_t mods = 0;
    if (event.control) mods |= control;
    if (event.option) mods |= option;
    if (event.shift) mods |= shift;
    if (event.command) mods |= command;
    if (!(mods & (control | option | command))) return std::nullopt;
    std::string key;
    if (auto fixed = keyName(event.keyCode)) {
        key = *fixed;
    } else {
        key = event.characters;
        for (char& c : key)
            if (static_cast<unsigned char>(c) < 0x80)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (key.empty()) return std::nullopt;
    return HotKeySpec{event.keyCode, mods, key};
}

}  // namespace seam
