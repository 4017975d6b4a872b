#include "platform/kwin/kwin_outputs.h"

#include <algorithm>

namespace seam {

const KwinMode* KwinOutput::mode(std::uint32_t modeKey) const {
    for (const KwinMode& m : modes)
        if (m.key == modeKey) return &m;
    return nullptr;
}

std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::vector<std::uint8_t> out;
    std::uint32_t bits = 0;
    int count = 0;
    std::size_t padding = 0;
    for (char c : text) {
        if (c == '=') {
            ++padding;
            continue;
        }
        const int v = value(c);
        if (v < 0 || padding) return std::nullopt;
        bits = bits << 6 | std::uint32_t(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(std::uint8_t(bits >> count));
        }
    }
    if (padding > 2 || count >= 6) return std::nullopt;
    return out;
}

KwinOutput* KwinOutputTracker::pending(std::uint32_t key) {
    for (KwinOutput& o : pending_)
        if (o.key == key) return &o;
    return nullptr;
}

KwinMode* KwinOutputTracker::pendingMode(std::uint32_t key) {
    for (KwinOutput& o : pending_)
        for (KwinMode& m : o.modes)
            if (m.key == key) return &m;
    return nullptr;
}

bool KwinOutputTracker::apply(const kwin::Event& event) {
    using namespace kwin;
    // Events for objects we do not know (already removed) are dropped.
    return std::visit(
        [this](const auto& e) -> bool {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, Primary>) {
                if (primary_ == e.name) return false;
                primary_ = e.name;
                return true;
            } else if constexpr (std::is_same_v<E, OutputAdded>) {
                if (!pending(e.output)) pending_.push_back({.key = e.output});
            } else if constexpr (std::is_same_v<E, OutputRemoved>) {
                std::erase_if(pending_, [&](const KwinOutput& o) { return o.key == e.output; });
                return std::erase_if(committed_,
                                     [&](const KwinOutput& o) { return o.key == e.output; }) > 0;
            } else if constexpr (std::is_same_v<E, ModeSize> || std::is_same_v<E, ModeRefresh> ||
                                 std::is_same_v<E, ModePreferred>) {
                if (KwinMode* m = pendingMode(e.mode)) {
                    if constexpr (std::is_same_v<E, ModeSize>) {
                        m->width = e.width;
                        m->height = e.height;
                    } else if constexpr (std::is_same_v<E, ModeRefresh>) {
                        m->refresh = e.refresh;
                    } else {
                        m->preferred = true;
                    }
                }
            } else if constexpr (std::is_same_v<E, ModeRemoved>) {
                for (KwinOutput& o : pending_) {
                    std::erase_if(o.modes, [&](const KwinMode& m) { return m.key == e.mode; });
                    if (o.currentMode == e.mode) o.currentMode.reset();
                }
            } else if (KwinOutput* o = pending(e.output)) {
                if constexpr (std::is_same_v<E, Done>) {
                    for (KwinOutput& c : committed_) {
                        if (c.key != o->key) continue;
                        if (c == *o) return false;
                        c = *o;
                        return true;
                    }
                    committed_.push_back(*o);
                    return true;
                } else if constexpr (std::is_same_v<E, Geometry>) {
                    o->x = e.x;
                    o->y = e.y;
                    o->make = e.make;
                    o->model = e.model;
                    o->transform = e.transform;
                } else if constexpr (std::is_same_v<E, Text>) {
                    std::string* field[] = {&o->name, &o->serial, &o->eisaId, &o->uuid};
                    *field[int(e.field)] = e.value;
                } else if constexpr (std::is_same_v<E, Edid>) {
                    o->edid = decodeBase64(e.base64).value_or(std::vector<std::uint8_t>{});
                } else if constexpr (std::is_same_v<E, Enabled>) {
                    o->enabled = e.enabled;
                } else if constexpr (std::is_same_v<E, ModeAdded>) {
                    o->modes.push_back({.key = e.mode});
                } else if constexpr (std::is_same_v<E, CurrentMode>) {
                    o->currentMode = e.mode;
                } else if constexpr (std::is_same_v<E, Scale>) {
                    o->scale = e.scale;
                }
            }
            return false;
        },
        event);
}

}  // namespace seam
