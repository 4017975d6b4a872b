#include "output_protocol_log.h"

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

std::vector<output::Event> parseOutputLog(const std::string& log) {
    using namespace output;
    static const std::regex line(
        R"(^\s*(?:\[[ 0-9.]+\]\s*)?((?:zwlr|kde)_output_\w+)@(\d+)\.(\w+)\((.*)\)\s*$)");
    static const std::pair<const char*, TextField> texts[] = {
        {"name", TextField::name},
        {"description", TextField::description},
        {"make", TextField::make},
        {"model", TextField::model},
        {"serial_number", TextField::serial},
        {"eisa_id", TextField::eisaId},
        {"uuid", TextField::uuid}};
    std::vector<Event> out;
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
        const bool device = iface == "kde_output_device_v2";
        if (device && devices.insert(self).second) out.push_back(HeadAdded{self});
        if (device || iface == "zwlr_output_head_v1") {
            for (auto [name, field] : texts)
                if (event == name) out.push_back(HeadText{self, field, text(a.at(0))});
            if (event == "mode") out.push_back(HeadModeAdded{self, objectId(a.at(0))});
            if (event == "enabled") out.push_back(HeadEnabled{self, num(0) != 0});
            if (event == "current_mode") out.push_back(HeadCurrentMode{self, objectId(a.at(0))});
            if (event == "position") out.push_back(HeadPosition{self, num(0), num(1)});
            if (event == "transform") out.push_back(HeadTransform{self, num(0)});
            if (event == "scale") out.push_back(HeadScale{self, std::stod(a.at(0))});
            if (event == "finished") out.push_back(HeadFinished{self});
            if (event == "edid") out.push_back(HeadEdid{self, text(a.at(0))});
            if (event == "done") out.push_back(HeadDone{self});
            if (event == "removed") out.push_back(HeadRemoved{self});
            if (event == "geometry") {
                out.push_back(HeadPosition{self, num(0), num(1)});
                out.push_back(HeadText{self, TextField::make, text(a.at(5))});
                out.push_back(HeadText{self, TextField::model, text(a.at(6))});
                out.push_back(HeadTransform{self, num(7)});
            }
        } else if (iface == "zwlr_output_mode_v1" || iface == "kde_output_device_mode_v2") {
            if (event == "size") out.push_back(ModeSize{self, num(0), num(1)});
            if (event == "refresh") out.push_back(ModeRefresh{self, num(0)});
            if (event == "preferred") out.push_back(ModePreferred{self});
            if (event == "finished" || event == "removed") out.push_back(ModeFinished{self});
        } else if (iface == "zwlr_output_manager_v1") {
            if (event == "head") out.push_back(HeadAdded{objectId(a.at(0))});
            if (event == "done") out.push_back(Done{std::uint32_t(std::stoul(a.at(0)))});
        } else if (iface == "kde_output_order_v1") {
            if (event == "output") order.push_back(text(a.at(0)));
            if (event == "done") {
                out.push_back(Primary{order.empty() ? "" : order.front()});
                order.clear();
            }
        }
    }
    return out;
}

OutputTracker trackerOf(const std::string& text) {
    OutputTracker tracker;
    for (const output::Event& e : parseOutputLog(text)) tracker.apply(e);
    return tracker;
}

std::vector<OutputHead> headsOf(const std::string& text) {
    return trackerOf(text).heads();
}

std::map<std::string, std::uint32_t> idsByName(const OutputLayout& layout) {
    std::map<std::string, std::uint32_t> out;
    for (const OutputDisplay& d : layout.displays) out[d.name] = d.id;
    return out;
}

std::map<std::string, std::uint32_t> changesByName(const OutputLayout& before,
                                                   const OutputLayout& after) {
    auto ids = idsByName(before);
    for (auto [name, id] : idsByName(after)) ids[name] = id;
    std::map<std::string, std::uint32_t> out;
    for (const DisplayChange& ch : diffSnapshots(before.snapshot(), after.snapshot()))
        for (auto [name, id] : ids)
            if (id == ch.display) out[name] = ch.flags;
    return out;
}

}  // namespace seam::testing
