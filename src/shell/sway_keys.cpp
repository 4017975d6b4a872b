#include "shell/sway_keys.h"

#include <utility>

#include "base/log.h"

namespace seam {

namespace {
struct Named {
    std::uint32_t code;
    const char* name;
};
// The same keys the X11 backend grabs, by their keysym names.
constexpr Named kKeys[] = {
    {0, "a"},        {1, "s"},          {2, "d"},
    {3, "f"},        {4, "h"},          {5, "g"},
    {6, "z"},        {7, "x"},          {8, "c"},
    {9, "v"},        {11, "b"},         {12, "q"},
    {13, "w"},       {14, "e"},         {15, "r"},
    {16, "y"},       {17, "t"},         {18, "1"},
    {19, "2"},       {20, "3"},         {21, "4"},
    {22, "6"},       {23, "5"},         {24, "equal"},
    {25, "9"},       {26, "7"},         {27, "minus"},
    {28, "8"},       {29, "0"},         {30, "bracketright"},
    {31, "o"},       {32, "u"},         {33, "bracketleft"},
    {34, "i"},       {35, "p"},         {36, "Return"},
    {37, "l"},       {38, "j"},         {39, "apostrophe"},
    {40, "k"},       {41, "semicolon"}, {42, "backslash"},
    {43, "comma"},   {44, "slash"},     {45, "n"},
    {46, "m"},       {47, "period"},    {48, "Tab"},
    {49, "space"},   {50, "grave"},     {51, "BackSpace"},
    {53, "Escape"},  {96, "F5"},        {97, "F6"},
    {98, "F7"},      {99, "F3"},        {100, "F8"},
    {101, "F9"},     {103, "F11"},      {109, "F10"},
    {111, "F12"},    {115, "Home"},     {116, "Prior"},
    {117, "Delete"}, {118, "F4"},       {119, "End"},
    {120, "F2"},     {121, "Next"},     {122, "F1"},
    {123, "Left"},   {124, "Right"},    {125, "Down"},
    {126, "Up"},
};

bool passesThrough(const std::string& word) {
    for (unsigned char c : word)
        if (c < 0x20 || c == 0x7f || c == '\'' || c == '"' || c == '\\' || c == '$' || c == ';' ||
            c == ',')
            return false;
    return true;
}
}  // namespace

std::optional<std::string> swayKeyName(std::uint32_t keyCode) {
    for (const Named& k : kKeys)
        if (k.code == keyCode) return k.name;
    return std::nullopt;
}

std::optional<std::string> swayCombo(const HotKeySpec& spec) {
    const auto key = swayKeyName(spec.keyCode);
    if (!key) return std::nullopt;
    std::string combo;
    for (const auto& [bit, name] :
         {std::pair{HotKeySpec::control, "Ctrl+"}, std::pair{HotKeySpec::option, "Mod1+"},
          std::pair{HotKeySpec::shift, "Shift+"}, std::pair{HotKeySpec::command, "Mod4+"}})
        if (spec.mods & bit) combo += name;
    if (combo.empty()) return std::nullopt;
    return combo + *key;
}

std::optional<std::string> swayExec(const std::string& program,
                                    const std::vector<std::string>& args) {
    if (!passesThrough(program)) return std::nullopt;
    std::string line = "exec '" + program + "'";
    for (const std::string& a : args) {
        if (!passesThrough(a)) return std::nullopt;
        line += a.starts_with("--") ? " " + a : " '" + a + "'";
    }
    return line;
}

std::vector<SwayKey> swayKeysFor(const HotKeySpec& align, const HotKeySpec& undo,
                                 const LayoutKeys& layoutKeys,
                                 const std::vector<SavedLayout>& layouts) {
    std::vector<SwayKey> keys = {{align, {"--align"}}, {undo, {"--undo"}}};
    for (const SavedLayout& layout : layouts)
        if (auto it = layoutKeys.find(layout.id); it != layoutKeys.end())
            keys.push_back({it->second, {"--apply-layout", layout.name}});
    return keys;
}

SwayKeys::SwayKeys(SwayCommands& sway, std::string program)
    : sway_(sway), program_(std::move(program)) {}

SwayKeys::~SwayKeys() {
    unbindAll();
}

bool SwayKeys::run(const std::string& command) {
    const auto results = sway_.run(command);
    if (results && results->size() == 1 && results->front().success) return true;
    std::string why = "no answer";
    if (results && !results->empty() && !results->front().error.empty())
        why = results->front().error;
    log("sway: \"" + command + "\" failed: " + why);
    return false;
}

void SwayKeys::bind(const std::vector<SwayKey>& keys) {
    unbindAll();
    for (const SwayKey& k : keys) {
        const auto combo = swayCombo(k.key);
        const auto exec = swayExec(program_, k.args);
        if (!combo || !exec) {
            log("sway: " + k.key.display() + " left unbound: sway cannot run it as written");
            continue;
        }
        if (run("bindsym " + *combo + " " + *exec)) bound_.push_back(*combo);
    }
}

void SwayKeys::unbindAll() {
    for (const std::string& combo : bound_) run("unbindsym " + combo);
    bound_.clear();
}

}  // namespace seam
