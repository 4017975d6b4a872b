#include "protocol_log.h"

#include <regex>
#include <sstream>

namespace seam::testing {

namespace {
std::vector<std::string> arguments(const std::string& list) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    for (char c : list) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            out.push_back(cur);
            cur.clear();
        } else if (!(c == ' ' && !quoted && cur.empty())) {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

std::uint32_t objectId(const std::string& arg) {
    const auto at = arg.rfind('@');
    return at == std::string::npos ? 0 : std::uint32_t(std::stoul(arg.substr(at + 1)));
}

std::string text(const std::string& arg) {
    return arg.size() >= 2 ? arg.substr(1, arg.size() - 2) : arg;
}
}  // namespace

std::vector<wlr::Event> parseProtocolLog(const std::string& log) {
    static const std::regex line(
        R"(^\s*(?:\[[ 0-9.]+\]\s*)?(zwlr_output_\w+_v1)@(\d+)\.(\w+)\((.*)\)\s*$)");
    std::vector<wlr::Event> out;
    std::istringstream in(log);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (!std::regex_match(l, m, line)) continue;
        const std::string iface = m[1], event = m[3];
        const auto self = std::uint32_t(std::stoul(m[2]));
        const auto a = arguments(m[4]);
        auto num = [&](std::size_t i) { return std::stoi(a.at(i)); };
        using wlr::TextField;
        if (iface == "zwlr_output_manager_v1") {
            if (event == "head") out.push_back(wlr::HeadAdded{objectId(a.at(0))});
            if (event == "done") out.push_back(wlr::Done{std::uint32_t(std::stoul(a.at(0)))});
        } else if (iface == "zwlr_output_head_v1") {
            const std::pair<const char*, TextField> texts[] = {
                {"name", TextField::name},
                {"description", TextField::description},
                {"make", TextField::make},
                {"model", TextField::model},
                {"serial_number", TextField::serial}};
            for (auto [name, field] : texts)
                if (event == name) out.push_back(wlr::HeadText{self, field, text(a.at(0))});
            if (event == "mode") out.push_back(wlr::HeadModeAdded{self, objectId(a.at(0))});
            if (event == "enabled") out.push_back(wlr::HeadEnabled{self, num(0) != 0});
            if (event == "current_mode")
                out.push_back(wlr::HeadCurrentMode{self, objectId(a.at(0))});
            if (event == "position") out.push_back(wlr::HeadPosition{self, num(0), num(1)});
            if (event == "transform") out.push_back(wlr::HeadTransform{self, num(0)});
            if (event == "scale") out.push_back(wlr::HeadScale{self, std::stod(a.at(0))});
            if (event == "finished") out.push_back(wlr::HeadFinished{self});
        } else if (iface == "zwlr_output_mode_v1") {
            if (event == "size") out.push_back(wlr::ModeSize{self, num(0), num(1)});
            if (event == "refresh") out.push_back(wlr::ModeRefresh{self, num(0)});
            if (event == "preferred") out.push_back(wlr::ModePreferred{self});
            if (event == "finished") out.push_back(wlr::ModeFinished{self});
        }
    }
    return out;
}

std::vector<WlrHead> headsOf(const std::string& text) {
    WlrHeadTracker tracker;
    for (const wlr::Event& e : parseProtocolLog(text)) tracker.apply(e);
    return tracker.heads();
}

}  // namespace seam::testing
