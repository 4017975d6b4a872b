#include "layouts/layout_file.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

namespace seam {

namespace {
using nlohmann::json;

struct CodingError {};

double finite(double v) {
    if (!std::isfinite(v)) throw CodingError{};
    return v;
}

json encodeIdent(const DisplayIdent& d) {
    json o = json::object();
    o["vendor"] = d.vendor;
    o["model"] = d.model;
    if (d.serialNumber) o["serialNumber"] = *d.serialNumber;
    if (d.serialString) o["serialString"] = *d.serialString;
    o["builtin"] = d.builtin;
    return o;
}

json encodeDisplay(const SavedDisplay& d) {
    json o = json::object();
    o["ident"] = encodeIdent(d.ident);
    if (d.uuid) o["uuid"] = *d.uuid;
    if (d.name) o["name"] = *d.name;
    o["x"] = finite(d.x);
    o["y"] = finite(d.y);
    o["width"] = finite(d.width);
    o["height"] = finite(d.height);
    o["main"] = d.main;
    return o;
}

json encodeLayout(const SavedLayout& l) {
    json o = json::object();
    o["id"] = l.id;
    o["name"] = l.name;
    json displays = json::array();
    for (const auto& d : l.displays) displays.push_back(encodeDisplay(d));
    o["displays"] = std::move(displays);
    o["savedAt"] = finite(l.savedAt.sinceReference);
    if (l.lastApplied) o["lastApplied"] = finite(l.lastApplied->sinceReference);
    o["autoApply"] = l.autoApply;
    return o;
}

// A missing optional key and an explicit null both mean absent.
const json* optionalKey(const json& o, const char* key) {
    auto it = o.find(key);
    if (it == o.end() || it->is_null()) return nullptr;
    return &*it;
}

const json& requiredKey(const json& o, const char* key) {
    auto it = o.find(key);
    if (it == o.end()) throw CodingError{};
    return *it;
}

const json& object(const json& v) {
    if (!v.is_object()) throw CodingError{};
    return v;
}

double number(const json& v) {
    if (v.is_number_unsigned()) return static_cast<double>(v.get<std::uint64_t>());
    if (v.is_number_integer()) return static_cast<double>(v.get<std::int64_t>());
    if (v.is_number_float()) return finite(v.get<double>());
    throw CodingError{};
}

// Another writer may put a whole number as 2073.0; anything else out of range is refused.
std::uint32_t unsigned32(const json& v) {
    if (v.is_number_unsigned()) {
        const auto u = v.get<std::uint64_t>();
        if (u > std::numeric_limits<std::uint32_t>::max()) throw CodingError{};
        return static_cast<std::uint32_t>(u);
    }
    if (v.is_number_integer()) {
        const auto i = v.get<std::int64_t>();
        if (i < 0 || i > std::int64_t{std::numeric_limits<std::uint32_t>::max()}) {
            throw CodingError{};
        }
        return static_cast<std::uint32_t>(i);
    }
    if (v.is_number_float()) {
        const double d = v.get<double>();
        if (!(d >= 0 && d <= 4294967295.0) || std::trunc(d) != d) throw CodingError{};
        return static_cast<std::uint32_t>(d);
    }
    throw CodingError{};
}

bool boolean(const json& v) {
    if (!v.is_boolean()) throw CodingError{};
    return v.get<bool>();
}

std::string text(const json& v) {
    if (!v.is_string()) throw CodingError{};
    return v.get<std::string>();
}

DisplayIdent decodeIdent(const json& v) {
    const json& o = object(v);
    DisplayIdent d;
    d.vendor = unsigned32(requiredKey(o, "vendor"));
    d.model = unsigned32(requiredKey(o, "model"));
    if (auto* s = optionalKey(o, "serialNumber")) d.serialNumber = unsigned32(*s);
    if (auto* s = optionalKey(o, "serialString")) d.serialString = text(*s);
    d.builtin = boolean(requiredKey(o, "builtin"));
    return d;
}

SavedDisplay decodeDisplay(const json& v) {
    const json& o = object(v);
    SavedDisplay d;
    d.ident = decodeIdent(requiredKey(o, "ident"));
    if (auto* s = optionalKey(o, "uuid")) d.uuid = text(*s);
    if (auto* s = optionalKey(o, "name")) d.name = text(*s);
    d.x = number(requiredKey(o, "x"));
    d.y = number(requiredKey(o, "y"));
    d.width = number(requiredKey(o, "width"));
    d.height = number(requiredKey(o, "height"));
    d.main = boolean(requiredKey(o, "main"));
    return d;
}

SavedLayout decodeLayout(const json& v) {
    const json& o = object(v);
    SavedLayout l;
    l.id = text(requiredKey(o, "id"));
    l.name = text(requiredKey(o, "name"));
    const json& displays = requiredKey(o, "displays");
    if (!displays.is_array()) throw CodingError{};
    for (const auto& d : displays) l.displays.push_back(decodeDisplay(d));
    l.savedAt = Date{number(requiredKey(o, "savedAt"))};
    if (auto* s = optionalKey(o, "lastApplied")) l.lastApplied = Date{number(*s)};
    l.autoApply = boolean(requiredKey(o, "autoApply"));
    return l;
}
}  // namespace

std::optional<std::vector<std::uint8_t>> encodeLayoutFile(const LayoutFile& file) {
    try {
        json layouts = json::array();
        for (const auto& l : file.layouts) layouts.push_back(encodeLayout(l));
        // std::map-backed objects keep keys sorted at every level.
        json top = {{"layouts", std::move(layouts)}, {"version", 1}};
        const std::string s = top.dump();
        return std::vector<std::uint8_t>(s.begin(), s.end());
    } catch (const CodingError&) {
        return std::nullopt;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

std::optional<LayoutFile> decodeLayoutFile(std::span<const std::uint8_t> bytes) {
    try {
        const json top = json::parse(bytes.begin(), bytes.end(), nullptr, false);
        if (top.is_discarded()) return std::nullopt;
        const json& o = object(top);
        LayoutFile file;
        // The value does not matter, but a file without it is not ours.
        number(requiredKey(o, "version"));
        const json& layouts = requiredKey(o, "layouts");
        if (!layouts.is_array()) return std::nullopt;
        for (const auto& l : layouts) file.layouts.push_back(decodeLayout(l));
        return file;
    } catch (const CodingError&) {
        return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace seam
