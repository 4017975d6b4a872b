#include "kwin_protocol_log.h"

#include <regex>
#include <set>
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

std::vector<kwin::Event> parseKwinLog(const std::string& log) {
    static const std::regex line(
        R"(^\s*(?:\[[ 0-9.]+\]\s*)?(kde_output_\w+)@(\d+)\.(\w+)\((.*)\)\s*$)");
    std::vector<kwin::Event> out;
    std::set<std::uint32_t> devices;
    std::vector<std::string> order;
    std::istringstream in(log);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (!std::regex_match(l, m, line)) continue;
        const std::string iface = m[1], event = m[3];
        const auto self = std::uint32_t(std::stoul(m[2]));
        const auto a = arguments(m[4]);
        auto num = [&](std::size_t i) { return std::stoi(a.at(i)); };
        using kwin::TextField;
        if (iface == "kde_output_device_v2") {
            if (devices.insert(self).second) out.push_back(kwin::OutputAdded{self});
            const std::pair<const char*, TextField> texts[] = {{"name", TextField::name},
                                                               {"serial_number", TextField::serial},
                                                               {"eisa_id", TextField::eisaId},
                                                               {"uuid", TextField::uuid}};
            for (auto [name, field] : texts)
                if (event == name) out.push_back(kwin::Text{self, field, text(a.at(0))});
            if (event == "geometry")
                out.push_back(
                    kwin::Geometry{self, num(0), num(1), text(a.at(5)), text(a.at(6)), num(7)});
            if (event == "edid") out.push_back(kwin::Edid{self, text(a.at(0))});
            if (event == "enabled") out.push_back(kwin::Enabled{self, num(0) != 0});
            if (event == "mode") out.push_back(kwin::ModeAdded{self, objectId(a.at(0))});
            if (event == "current_mode") out.push_back(kwin::CurrentMode{self, objectId(a.at(0))});
            if (event == "scale") out.push_back(kwin::Scale{self, std::stod(a.at(0))});
            if (event == "done") out.push_back(kwin::Done{self});
            // Not an event of the protocol: the registry's global_remove, written so.
            if (event == "removed") out.push_back(kwin::OutputRemoved{self});
        } else if (iface == "kde_output_device_mode_v2") {
            if (event == "size") out.push_back(kwin::ModeSize{self, num(0), num(1)});
            if (event == "refresh") out.push_back(kwin::ModeRefresh{self, num(0)});
            if (event == "preferred") out.push_back(kwin::ModePreferred{self});
            if (event == "removed") out.push_back(kwin::ModeRemoved{self});
        } else if (iface == "kde_output_order_v1") {
            if (event == "output") order.push_back(text(a.at(0)));
            if (event == "done") {
                out.push_back(kwin::Primary{order.empty() ? "" : order.front()});
                order.clear();
            }
        }
    }
    return out;
}

KwinState kwinStateOf(const std::string& text) {
    KwinOutputTracker tracker;
    for (const kwin::Event& e : parseKwinLog(text)) tracker.apply(e);
    return {tracker.outputs(), tracker.primary()};
}

}  // namespace seam::testing
