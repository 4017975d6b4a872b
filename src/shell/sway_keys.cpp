#include "shell/sway_keys.h"

#include <utility>

#include "base/log.h"

namespace seam {

namespace {
bool passesThrough(const std::string& word) {
    for (unsigned char c : word)
        if (c < 0x20 || c == 0x7f || c == '\'' || c == '"' || c == '\\' || c == '$' || c == ';' ||
            c == ',')
            return false;
    return true;
}
}  // namespace

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

void SwayKeys::bind(const std::vector<CommandKey>& keys) {
    unbindAll();
    for (const CommandKey& k : keys) {
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
