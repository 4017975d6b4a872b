#include "align/align_mode.h"

#include <algorithm>
#include <cctype>

#include "base/log.h"
#include "base/platform_words.h"
#include "base/text.h"

namespace seam {

AlignMode::AlignMode(Arrangement& arrangement, PointerServices& pointer, Scheduler& scheduler,
                     OverlayFactory& overlays)
    : arrangement_(arrangement), pointer_(pointer), scheduler_(scheduler), overlays_(overlays) {}

AlignMode::~AlignMode() {
    *alive_ = false;
}

AlignMode::Start AlignMode::start() {
    stop();
    const std::vector<Disp> list = arrangement_.displays();
    if (list.size() != 2) return Start::notTwoDisplays;
    overlays_.activate();
    std::weak_ptr<bool> alive = alive_;
    for (const Disp& d : list) {
        const std::uint32_t id = d.id;
        auto onClick = [this, alive, id] {
            if (auto a = alive.lock(); a && *a) clicked(id);
        };
        auto onEsc = [this, alive] {
            if (auto a = alive.lock(); a && *a) stop();
            log("align mode cancelled (esc)");
        };
        auto surface = overlays_.open(id, d.f, onClick, onEsc);
        if (!surface) {
            stop();
            return Start::uncovered;
        }
        views_[id] = View{std::move(surface), d.f, {}};
    }
    const Point p = pointer_.location();
    std::uint32_t key = views_.begin()->first;
    if (list[0].f.contains(p))
        key = list[0].id;
    else if (list[1].f.contains(p))
        key = list[1].id;
    views_[key].surface->makeKey();
    refreshTexts();
    log("align mode start");
    return Start::started;
}

void AlignMode::stop() {
    // Destroying the surfaces closes the windows; a surface may call back into
    // stop() while it goes, so empty the map first.
    auto closing = std::move(views_);
    views_.clear();
    first_.reset();
    ++generation_;  // a pick waiting to complete is void now
    closing.clear();
}

const OverlayContent* AlignMode::content(std::uint32_t id) const {
    auto it = views_.find(id);
    return it == views_.end() ? nullptr : &it->second.content;
}

AlignMode::Pick AlignMode::pick(std::uint32_t id, const Rect& f, Point p, Side side) {
    const double cx = std::min(f.maxX() - 1, std::max(f.minX(), p.x));
    const double cy = std::min(f.maxY() - 1, std::max(f.minY(), p.y));
    Point edge;
    switch (side) {
        case Side::top:
            edge = {cx, f.minY()};
            break;
        case Side::bottom:
            edge = {cx, f.maxY() - 1};
            break;
        case Side::left:
            edge = {f.minX(), cy};
            break;
        case Side::right:
            edge = {f.maxX() - 1, cy};
            break;
    }
    return Pick{id, side, horizontal(side) ? cx : cy, edge};
}

namespace {
std::string pickLine(const char* which, const AlignMode::Pick& pk) {
    return std::string("align ") + which + " id=" + std::to_string(pk.id) +
           " side=" + std::string(rawValue(pk.side)) + " pos=" + std::to_string(truncInt(pk.pos));
}
}  // namespace

void AlignMode::clicked(std::uint32_t id) {
    auto it = views_.find(id);
    if (it == views_.end()) return;
    const Rect f = it->second.frame;
    const Point p = it->second.surface->clickPoint().value_or(pointer_.location());
    if (!first_ || first_->id == id) {
        const Pick pk = pick(id, f, p, nearestEdge(f, p));
        log(pickLine("pick1", pk));
        for (auto& [other, view] : views_) {
            if (other == id) continue;
            view.content.marker.reset();
            view.content.edge.reset();
        }
        first_ = pk;
        mark(pk, f);
        refreshTexts();
        return;
    }
    const Pick pk = pick(id, f, p, opposite(first_->side));
    log(pickLine("pick2", pk));
    mark(pk, f);
    const Pick a = *first_;
    std::weak_ptr<bool> alive = alive_;
    const std::uint64_t generation = generation_;
    scheduler_.after(0.25, [this, alive, a, pk, generation] {
        auto live = alive.lock();
        if (!live || !*live || generation != generation_) return;
        stop();
        if (onPicked) onPicked(a, pk);
    });
}

void AlignMode::mark(const Pick& pk, const Rect& f) {
    auto it = views_.find(pk.id);
    if (it == views_.end()) return;
    View& v = it->second;
    v.content.marker = Point{std::min(f.width - 12, std::max(pk.edgePt.x - f.minX(), 12.0)),
                             std::min(f.height - 12, std::max(pk.edgePt.y - f.minY(), 12.0))};
    v.content.edge = std::make_pair(pk.side, pk.pos);
    v.surface->redraw(v.content);
}

void AlignMode::refreshTexts() {
    for (auto& [id, v] : views_) {
        const std::string screen = arrangement_.screenName(id);
        if (!first_) {
            const std::string laptop(platformWords().builtinKo);
            v.content.title = T("① 다른 화면으로 넘어갈 자리를 클릭하세요",
                                "① Click where you want to cross to the other screen");
            v.content.sub =
                T("가장자리 근처를 누르면 가장 가까운 끝이 연결점이 돼요\n예: " + laptop +
                      " 왼쪽 위로 넘어가고 싶으면 " + laptop + " 화면 위쪽 왼편을 클릭 · Esc 취소",
                  "Click near an edge. The closest edge becomes the connection point.\nExample: to "
                  "cross up and to the left, click the left part of the top edge · Esc to cancel");
        } else if (first_->id == id) {
            v.content.title = T("① 출발점을 골랐어요", "① Starting point selected");
            v.content.sub = T(screen + " " + std::string(ko(first_->side)) +
                                  " 가장자리\n다른 곳을 누르면 바꿀 수 있어요 · Esc 취소",
                              capitalisedWords(screen) + ", " + name(first_->side) +
                                  " edge\nClick elsewhere to change it · Esc to cancel");
        } else {
            const Side in = opposite(first_->side);
            v.content.title = T("② 이 화면에서 들어올 자리를 클릭하세요",
                                "② Click where you want to come in on this screen");
            v.content.sub = T(screen + "의 " + std::string(ko(in)) +
                                  " 가장자리에서 이 높이로 이어져요 · Esc 취소",
                              "It connects along the " + name(in) + " edge of the " + screen +
                                  " at that point · Esc to cancel");
        }
        v.surface->redraw(v.content);
    }
}

std::string capitalisedWords(const std::string& text) {
    std::string out = text;
    bool wordStart = true;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isspace(u)) {
            wordStart = true;
            continue;
        }
        // Bytes of multi-byte characters are left as they are.
        if (u < 0x80) c = static_cast<char>(wordStart ? std::toupper(u) : std::tolower(u));
        wordStart = false;
    }
    return out;
}

ConfirmTexts confirmTexts(Arrangement& arrangement, const AlignMode::Pick& a,
                          const AlignMode::Pick& b) {
    const std::string screenA = arrangement.screenName(a.id);
    const std::string screenB = arrangement.screenName(b.id);
    return {
        T("이렇게 이을까요?", "Connect them like this?"),
        T(screenA + "의 " + std::string(ko(a.side)) + " 가장자리와 " + screenB + "의 " +
              std::string(ko(b.side)) + " 가장자리를, 클릭한 두 점이 맞닿게 이어요.",
          "The " + name(a.side) + " edge of the " + screenA + " will meet the " + name(b.side) +
              " edge of the " + screenB + ", joined at the two points you clicked."),
        T("확인", "Connect"),
        T("취소", "Cancel"),
    };
}

}  // namespace seam
