#include "platform/wayland/output_heads.h"

#include <algorithm>

namespace seam {

const OutputMode* OutputHead::mode(std::uint32_t modeKey) const {
    for (const OutputMode& m : modes)
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

OutputHead* OutputTracker::pending(std::uint32_t key) {
    for (OutputHead& h : pending_)
        if (h.key == key) return &h;
    return nullptr;
}

OutputMode* OutputTracker::pendingMode(std::uint32_t key) {
    for (OutputHead& h : pending_)
        for (OutputMode& m : h.modes)
            if (m.key == key) return &m;
    return nullptr;
}

bool OutputTracker::commit(const OutputHead& head) {
    for (OutputHead& c : committed_) {
        if (c.key != head.key) continue;
        if (c == head) return false;
        c = head;
        return true;
    }
    committed_.push_back(head);
    return true;
}

bool OutputTracker::apply(const output::Event& event) {
    using namespace output;
    // Events for objects we do not know (already gone) are dropped.
    return std::visit(
        [this](const auto& e) -> bool {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, Done>) {
                committed_ = pending_;
                serial_ = e.serial;
                everDone_ = true;
                return true;
            } else if constexpr (std::is_same_v<E, Primary>) {
                if (primary_ == e.name) return false;
                primary_ = e.name;
                return true;
            } else if constexpr (std::is_same_v<E, HeadAdded>) {
                if (!pending(e.head)) pending_.push_back({.key = e.head});
            } else if constexpr (std::is_same_v<E, HeadFinished> ||
                                 std::is_same_v<E, HeadRemoved>) {
                std::erase_if(pending_, [&](const OutputHead& h) { return h.key == e.head; });
                if constexpr (std::is_same_v<E, HeadRemoved>)
                    return std::erase_if(committed_,
                                         [&](const OutputHead& h) { return h.key == e.head; }) > 0;
            } else if constexpr (std::is_same_v<E, ModeSize> || std::is_same_v<E, ModeRefresh> ||
                                 std::is_same_v<E, ModePreferred>) {
                if (OutputMode* m = pendingMode(e.mode)) {
                    if constexpr (std::is_same_v<E, ModeSize>) {
                        m->width = e.width;
                        m->height = e.height;
                    } else if constexpr (std::is_same_v<E, ModeRefresh>) {
                        m->refresh = e.refresh;
                    } else {
                        m->preferred = true;
                    }
                }
            } else if constexpr (std::is_same_v<E, ModeFinished>) {
                for (OutputHead& h : pending_) {
                    std::erase_if(h.modes, [&](const OutputMode& m) { return m.key == e.mode; });
                    if (h.currentMode == e.mode) h.currentMode.reset();
                }
            } else if (OutputHead* h = pending(e.head)) {
                if constexpr (std::is_same_v<E, HeadDone>) {
                    return commit(*h);
                } else if constexpr (std::is_same_v<E, HeadText>) {
                    std::string* field[] = {&h->name,   &h->description, &h->make, &h->model,
                                            &h->serial, &h->eisaId,      &h->uuid};
                    *field[int(e.field)] = e.value;
                } else if constexpr (std::is_same_v<E, HeadEdid>) {
                    h->edid = decodeBase64(e.base64).value_or(std::vector<std::uint8_t>{});
                } else if constexpr (std::is_same_v<E, HeadEnabled>) {
                    h->enabled = e.enabled;
                } else if constexpr (std::is_same_v<E, HeadModeAdded>) {
                    h->modes.push_back({.key = e.mode});
                } else if constexpr (std::is_same_v<E, HeadCurrentMode>) {
                    h->currentMode = e.mode;
                } else if constexpr (std::is_same_v<E, HeadPosition>) {
                    h->x = e.x;
                    h->y = e.y;
                } else if constexpr (std::is_same_v<E, HeadTransform>) {
                    h->transform = e.transform;
                } else if constexpr (std::is_same_v<E, HeadScale>) {
                    h->scale = e.scale;
                }
            }
            return false;
        },
        event);
}

}  // namespace seam
