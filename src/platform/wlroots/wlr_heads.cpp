#include "platform/wlroots/wlr_heads.h"

#include <algorithm>

namespace seam {

const WlrMode* WlrHead::mode(std::uint32_t modeKey) const {
    for (const WlrMode& m : modes)
        if (m.key == modeKey) return &m;
    return nullptr;
}

WlrHead* WlrHeadTracker::pendingHead(std::uint32_t key) {
    for (WlrHead& h : pending_)
        if (h.key == key) return &h;
    return nullptr;
}

WlrMode* WlrHeadTracker::pendingMode(std::uint32_t key) {
    for (WlrHead& h : pending_)
        for (WlrMode& m : h.modes)
            if (m.key == key) return &m;
    return nullptr;
}

bool WlrHeadTracker::apply(const wlr::Event& event) {
    using namespace wlr;
    // Events for objects we do not know (already finished) are dropped.
    return std::visit(
        [this](const auto& e) -> bool {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, Done>) {
                committed_ = pending_;
                serial_ = e.serial;
                everDone_ = true;
                return true;
            } else if constexpr (std::is_same_v<E, HeadAdded>) {
                if (!pendingHead(e.head)) pending_.push_back({.key = e.head});
            } else if constexpr (std::is_same_v<E, HeadFinished>) {
                std::erase_if(pending_, [&](const WlrHead& h) { return h.key == e.head; });
            } else if constexpr (std::is_same_v<E, ModeSize> || std::is_same_v<E, ModeRefresh> ||
                                 std::is_same_v<E, ModePreferred>) {
                if (WlrMode* m = pendingMode(e.mode)) {
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
                for (WlrHead& h : pending_) {
                    std::erase_if(h.modes, [&](const WlrMode& m) { return m.key == e.mode; });
                    if (h.currentMode == e.mode) h.currentMode.reset();
                }
            } else if (WlrHead* h = pendingHead(e.head)) {
                if constexpr (std::is_same_v<E, HeadText>) {
                    switch (e.field) {
                        case TextField::name:
                            h->name = e.value;
                            break;
                        case TextField::description:
                            h->description = e.value;
                            break;
                        case TextField::make:
                            h->make = e.value;
                            break;
                        case TextField::model:
                            h->model = e.value;
                            break;
                        case TextField::serial:
                            h->serial = e.value;
                            break;
                    }
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
