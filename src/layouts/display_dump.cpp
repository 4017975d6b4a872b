#include "layouts/display_dump.h"

#include <cstdio>
#include <vector>

#include "geometry/arrangement.h"
#include "layouts/display_probe.h"
#include "layouts/live_display.h"
#include "layouts/unicode_text.h"

namespace seam {

namespace {
constexpr const char* kJunk = " (junk → no serial)";

std::string hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(v));
    return buf;
}

std::string orDash(const std::optional<std::string>& s) {
    return s ? *s : "-";
}

std::string whole(double v) {
    return std::to_string(truncInt(v));
}

// Padded with spaces, or cut, to exactly `width` characters.
std::string fitted(const std::string& text, size_t width) {
    std::u32string s = decodeUtf8Lossy(text);
    s.resize(width, U' ');
    return encodeUtf8(s);
}

std::string valueText(const nlohmann::json& v) {
    return v.is_string() ? v.get<std::string>() : v.dump();
}

void appendDisplay(std::vector<std::string>& lines, const DisplayProbe& p, bool active) {
    lines.emplace_back();
    std::string head = "display id=" + std::to_string(p.id);
    if (p.isMain) head += " [main]";
    if (p.builtin) head += " [built-in]";
    if (!active) head += " [inactive]";
    if (p.mirrorOf != 0) head += " [mirrors " + std::to_string(p.mirrorOf) + "]";
    lines.push_back(head + "  name=" + orDash(p.name));
    lines.push_back("  bounds (pt)           " + whole(p.frame.minX()) + "," +
                    whole(p.frame.minY()) + " " + whole(p.frame.width) + "x" +
                    whole(p.frame.height) + "   pixels " + std::to_string(p.pixels.first) + "x" +
                    std::to_string(p.pixels.second));
    lines.push_back("  CGDisplayVendorNumber " + std::to_string(p.vendor) + " (0x" + hex(p.vendor) +
                    ", PNP " + pnpID(p.vendor) + ")");
    lines.push_back("  CGDisplayModelNumber  " + std::to_string(p.model) + " (0x" + hex(p.model) +
                    ")");
    lines.push_back("  CGDisplaySerialNumber " + std::to_string(p.cgSerial) + " (0x" +
                    hex(p.cgSerial) + ")" + (usableSerialNumber(p.cgSerial) ? "" : kJunk));
    lines.push_back("  CGDisplayUnitNumber   " + std::to_string(p.unit));
    lines.push_back("  CGDisplay UUID        " + orDash(p.uuid));
    lines.push_back("  IORegistry (" + p.ioSource + ")  " + orDash(p.ioPath));
    lines.push_back("  EDID UUID             " + orDash(p.edidUUID));
    if (!p.productAttributes) {
        lines.push_back("  ProductAttributes     -");
    } else {
        // JSON objects keep their keys sorted.
        for (const auto& [key, value] : p.productAttributes->items())
            lines.push_back("  ProductAttributes." + fitted(key, 24) + " " + valueText(value));
    }
    lines.push_back("  AlphanumericSerial    " + orDash(p.ioAlnum) +
                    (p.ioAlnum && !usableSerialString(p.ioAlnum) ? kJunk : ""));
    if (!p.edid) {
        lines.push_back("  raw EDID              - (not exposed)");
    } else {
        const EDIDInfo& e = *p.edid;
        lines.push_back("  raw EDID              vendor " + pnpID(e.vendor) + " product " +
                        std::to_string(e.product) + " serial " + std::to_string(e.serial) +
                        (usableSerialNumber(e.serial) ? "" : kJunk) + " alnum " + orDash(e.alnum) +
                        " name " + orDash(e.name));
    }
    const DisplayIdent id = p.ident();
    lines.push_back(
        "  → identity used       vendor=" + std::to_string(id.vendor) +
        " model=" + std::to_string(id.model) + " serialString=" + id.serialString.value_or("nil") +
        " serialNumber=" + (id.serialNumber ? std::to_string(*id.serialNumber) : "nil") +
        " builtin=" + (id.builtin ? "true" : "false") +
        (id.builtin ? " (serial ignored for built-in)" : ""));
}
}  // namespace

std::string dumpDisplays(Arrangement& arrangement, DisplayIdentitySource& source,
                         std::string_view backend) {
    DisplayServices& services = arrangement.services();
    std::vector<std::string> lines;
    lines.push_back(std::string("Seamwright --dump-displays  (CoreDisplay info: ") +
                    (source.infoAvailable() ? "available" : "unavailable") + ")" +
                    (backend.empty() ? "" : "  backend=" + std::string(backend)));
    const std::vector<Disp> active = arrangement.displays();
    for (std::uint32_t id : services.onlineDisplays()) {
        bool isActive = false;
        for (const Disp& d : active) isActive = isActive || d.id == id;
        appendDisplay(lines, probeDisplay(id, services, source), isActive);
    }
    const std::vector<LiveDisplay> live = readLiveDisplays(arrangement, source);
    lines.emplace_back();
    lines.push_back("set used for layouts: " + describeLive(live));
    lines.push_back(std::string("indistinguishable displays in this set: ") +
                    (hasIndistinguishable(live) ? "yes" : "no"));
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out += '\n';
        out += lines[i];
    }
    return out;
}

}  // namespace seam
