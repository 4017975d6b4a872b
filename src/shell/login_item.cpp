#include "shell/login_item.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "base/log.h"

namespace seam {

namespace fs = std::filesystem;

namespace {
constexpr const char* kEntryName = "seamwright.desktop";

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}
}  // namespace

std::string autostartEntryPath(const EnvLookup& env) {
    const char* config = env("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/autostart/" + kEntryName;
    const char* home = env("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.config/autostart/" + kEntryName;
    return "";
}

std::optional<std::string> desktopExec(const std::string& program) {
    if (program.empty()) return std::nullopt;
    bool quote = false;
    std::string inner;
    for (char c : program) {
        if (c == '\n' || c == '\r') return std::nullopt;
        if (std::string_view(" \t\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos)
            quote = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\') inner += '\\';
        inner += c;
    }
    std::string value = quote ? "\"" + inner + "\"" : inner;
    // Field codes start with %, and the file's own escaping doubles backslashes.
    std::string out;
    for (char c : value) {
        if (c == '%')
            out += "%%";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::optional<std::string> autostartEntry(const std::string& program) {
    const auto exec = desktopExec(program);
    if (!exec) return std::nullopt;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Seamwright\n"
           "Exec=" +
           *exec +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool autostartEntryEnabled(const std::string& content) {
    std::istringstream in(content);
    std::string line;
    bool inEntry = false, sawEntry = false, enabled = true;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            sawEntry = sawEntry || inEntry;
            continue;
        }
        if (!inEntry) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        if (key == "Hidden" && value == "true") enabled = false;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") enabled = false;
    }
    return sawEntry && enabled;
}

bool AutostartLoginItem::enabled() const {
    if (path_.empty()) return false;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::stringstream s;
    s << in.rdbuf();
    return autostartEntryEnabled(s.str());
}

std::optional<std::string> AutostartLoginItem::setEnabled(bool on) {
    if (path_.empty()) return "no home folder for the autostart entry";
    std::error_code ec;
    if (!on) {
        if (!fs::remove(path_, ec) && ec) return "cannot remove " + path_ + ": " + ec.message();
        return std::nullopt;
    }
    const auto content = autostartEntry(program_);
    if (!content) return "cannot start this program path from a desktop file: " + program_;
    const fs::path folder = fs::path(path_).parent_path();
    fs::create_directories(folder, ec);
    if (ec) return "cannot create " + folder.string() + ": " + ec.message();
    // Written beside the entry and renamed over it, so a session never reads half of it.
    const std::string temporary = path_ + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return "cannot write " + temporary + ": " +
                   std::error_code(errno, std::generic_category()).message();
        out << *content;
        out.close();
        if (!out) {
            fs::remove(temporary, ec);
            return "cannot write " + temporary;
        }
    }
    fs::rename(temporary, path_, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return "cannot write " + path_ + ": " + ec.message();
    }
    return std::nullopt;
}

LoginToggle flipLoginItem(LoginItemService& item) {
    const bool wasOn = item.enabled();
    LoginToggle t;
    if (const auto error = item.setEnabled(!wasOn)) {
        t.failed = true;
        log(std::string("login item ") + (wasOn ? "unregister" : "register") +
            " failed: " + *error);
    } else {
        log(std::string("login item ") + (wasOn ? "off" : "on"));
    }
    t.checked = item.enabled();
    return t;
}

std::string loginItemFailedText() {
    return T("로그인 항목 설정 실패", "Couldn’t change the login item");
}

}  // namespace seam
