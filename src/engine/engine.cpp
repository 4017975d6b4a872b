#include "engine/engine.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "base/format.h"
#include "base/log.h"

namespace seam {

namespace {

// Thresholds of automatic alignment that are not tuning constants.
constexpr double kCrossingUsable = 2.5;
constexpr int kMinTrail = 6;
constexpr double kMinTravel = 150;
constexpr double kOutlier = 400;
constexpr double kMinDt = 0.001;
constexpr double kStrokePause = 0.08;
constexpr double kStill = 0.3;
constexpr double kRetry = 0.25;
constexpr int kMaxTries = 20;
// A pause this long ends a stroke.
constexpr double kTrailPause = 0.4;
constexpr double kBarSeconds = 3.0;
constexpr double kWarpEndGap = 10;

double along(Side s, Point p) {
    return horizontal(s) ? p.x : p.y;
}

// How far p lies past edge s of r.
double pastEdge(const Rect& r, Side s, Point p) {
    switch (s) {
        case Side::top:
            return r.minY() - p.y;
        case Side::bottom:
            return p.y - r.maxY();
        case Side::left:
            return r.minX() - p.x;
        case Side::right:
            return p.x - r.maxX();
    }
    return 0;
}

std::string num(double v) {
    return std::to_string(truncInt(v));
}
std::string word(Side s) {
    return std::string(rawValue(s));
}
const char* okText(bool ok) {
    return ok ? "true" : "false";
}

}  // namespace

std::optional<PushHit> blockedPush(const Rect& r, Point p, double dx, double dy) {
    std::optional<PushHit> hit;
    auto offer = [&](Side s, double amount) {
        if (amount > (hit ? hit->amount : 0)) hit = PushHit{s, amount};
    };
    if (dx < 0 && p.x <= r.minX() + Config::edgeTol) offer(Side::left, -dx);
    if (dx > 0 && p.x >= r.maxX() - 1 - Config::edgeTol) offer(Side::right, dx);
    if (dy < 0 && p.y <= r.minY() + Config::edgeTol) offer(Side::top, -dy);
    if (dy > 0 && p.y >= r.maxY() - 1 - Config::edgeTol) offer(Side::bottom, dy);
    return hit;
}

Engine::Engine(Arrangement& arrangement, PointerServices& pointer, const Clock& clock,
               Scheduler& scheduler, std::unique_ptr<EdgeBar> bar)
    : arrangement_(arrangement),
      pointer_(pointer),
      clock_(clock),
      scheduler_(scheduler),
      bar_(bar ? std::move(bar) : std::make_unique<NoEdgeBar>()) {
    cache_ = arrangement_.displays();
    shifts_.reserve(Config::alignKeep + 1);
    speeds_.reserve(Trail::kCapacity);
    smooth_.reserve(Trail::kCapacity);
}

Engine::~Engine() = default;

void Engine::refresh() {
    reload();
}

void Engine::screensChanged() {
    later(screenChangeDelay, [this] { reload(); });
}

void Engine::reload() {
    cache_ = arrangement_.displays();
    pointer_.displaysChanged();
}

const Disp* Engine::cached(std::uint32_t id) const {
    for (const Disp& d : cache_)
        if (d.id == id) return &d;
    return nullptr;
}

void Engine::later(double seconds, std::function<void()> fn) {
    scheduler_.after(seconds, [alive = std::weak_ptr<bool>(alive_), fn = std::move(fn)] {
        if (!alive.expired()) fn();
    });
}

void Engine::forget() {
    shifts_.clear();
    crossing_.reset();
    trail_.clear();
}

void Engine::handle(Point p, double dx, double dy, bool dragging) {
    ++events_;
    const double now = clock_.uptime();
    const double gap = now - lastEventT_;
    lastEventT_ = now;
    if (cache_.size() != 2) return;
    const Disp* found = cache_[0].f.contains(p)   ? &cache_[0]
                        : cache_[1].f.contains(p) ? &cache_[1]
                                                  : nullptr;
    if (!found) return;
    const Disp c = *found;  // a copy: a tap may re-read the cache

    if (dragging) {
        trail_.clear();
        crossing_.reset();
    } else {
        if (gap > kTrailPause) {
            trail_.clear();
            crossing_.reset();
        }
        if (!trail_.empty() && trail_.back().sid != c.id && cooldownUntil_ <= now) {
            if (const Disp* l = cached(trail_.back().sid))
                if (auto side = sideOf(l->f, c.f))
                    crossing_ = Crossing{now, *l, c, *side, trail_.size()};
        }
        // The oldest sample went, so the crossing's index no longer holds.
        if (trail_.push(Sample{now, p, c.id})) crossing_.reset();
    }

    if (dragging) {
        excursion_.reset();
        lastSid_ = c.id;
    } else {
        trackExcursion(c, p, now);
    }
    lastP_ = p;

    if (!enabled) return;
    if (!armed_) {
        if (cooldownUntil_ > now || gap < Config::restGap) return;
        armed_ = true;
    }
    trackPush(c, p, dx, dy, now);
}

void Engine::trackExcursion(const Disp& c, Point p, double now) {
    if (lastSid_ != 0 && lastSid_ != c.id) {
        const Disp* found = cached(lastSid_);
        if (!found) {
            lastSid_ = c.id;
            return;
        }
        const Disp l = *found;
        lastSid_ = c.id;
        if (excursion_ && excursion_->home.id == c.id && excursion_->awayId == l.id) {
            const Excursion e = *std::exchange(excursion_, std::nullopt);
            const bool tapped =
                now - e.t <= Config::boundaryReturn && e.depth >= Config::boundaryMinDepth &&
                e.depth <= Config::boundaryMaxDepth && enabled && armed_ && cooldownUntil_ <= now;
            if (tapped) {
                log("boundary tap side=" + word(e.side) + " pos=" + num(e.pos) +
                    " depth=" + num(e.depth));
                tap(e.side, e.pos, c, e.depth, now, Config::boundaryWindow);
            }
            return;
        }
        if (auto s = sideOf(l.f, c.f))
            excursion_ = Excursion{now, l, c.id, *s, along(*s, lastP_), pastEdge(l.f, *s, p)};
        return;
    }
    if (excursion_ && excursion_->awayId == c.id) {
        Excursion& e = *excursion_;
        e.depth = std::max(e.depth, pastEdge(e.home.f, e.side, p));
        if (now - e.t > Config::boundaryReturn || e.depth > Config::boundaryMaxDepth)
            excursion_.reset();
    }
    lastSid_ = c.id;
}

void Engine::trackPush(const Disp& c, Point p, double dx, double dy, double now) {
    const auto hit = blockedPush(c.f, p, dx, dy);
    if (!hit) {
        if (!push_) return;
        bool atPushedEdge = false;
        if (push_->rid == c.id)
            for (int i = 0; i < push_->count; ++i)
                atPushedEdge = atPushedEdge || atEdge(c.f, p, push_->entries[i].side);
        if (!atPushedEdge) push_.reset();
        return;
    }
    if (!push_ || push_->rid != c.id || now - push_->last > Config::releaseGap)
        push_ = PushSession{.rid = c.id};
    PushSession::Entry& e = push_->entry(hit->side);
    e.accum += hit->amount;
    e.pos = along(hit->side, p);
    push_->last = now;
    if (push_->counted) return;
    const PushSession::Entry* best = &push_->entries[0];
    for (int i = 1; i < push_->count; ++i)
        if (push_->entries[i].accum > best->accum) best = &push_->entries[i];
    if (best->accum < Config::bumpPush) return;
    push_->counted = true;
    const PushSession::Entry chosen = *best;  // the tap may end the session
    tap(chosen.side, chosen.pos, c, chosen.accum, now, Config::aimWindow);
}

void Engine::tap(Side side, double pos, const Disp& r, double accum, double t, double window) {
    const double len = horizontal(side) ? r.f.width : r.f.height;
    if (aim_ && aim_->side == side && aim_->rid == r.id && t - aim_->t <= window &&
        std::abs(pos - aim_->pos) <= Config::sameAimFrac * len) {
        log("tap2 commit side=" + word(side) + " pos=" + num(pos) + " first=" + num(aim_->pos) +
            " accum=" + num(accum));
        aim_.reset();
        bar_->hide();
        fire(side, pos, r);
        return;
    }
    log("tap1 aim side=" + word(side) + " pos=" + num(pos) + " accum=" + num(accum) +
        (aim_ ? " (re-aim)" : ""));
    aim_ = Aim{side, pos, t, r.id};
    const auto other =
        std::find_if(cache_.begin(), cache_.end(), [&](const Disp& d) { return d.id != r.id; });
    if (other == cache_.end()) return;
    const Point n = computeOrigin(side, pos, r.f, other->f);
    const Rect placed{n.x, n.y, other->f.width, other->f.height};
    bar_->show(side, sharedSpan(side, r.f, placed), pos, r.f, kBarSeconds);
}

void Engine::fire(Side side, double pos, const Disp& r) {
    reload();
    if (cache_.size() != 2) return;
    const Disp* rr = cached(r.id);
    const auto other =
        std::find_if(cache_.begin(), cache_.end(), [&](const Disp& d) { return d.id != r.id; });
    if (!rr || other == cache_.end()) return;
    const Disp ref = *rr, o = *other;
    apply(ref, o, computeOrigin(side, pos, ref.f, o.f), side, pos, "fire");
}

void Engine::connect(std::uint32_t rid, Side side, double aPos, std::uint32_t oid, double bPos,
                     double minOverlap) {
    reload();
    // One display cannot be placed against itself.
    if (cache_.size() != 2 || rid == oid) return;
    const Disp* rp = cached(rid);
    const Disp* op = cached(oid);
    if (!rp || !op) return;
    const Disp r = *rp, o = *op;
    Point n = connectOrigin(side, aPos, bPos, r.f, o.f);
    if (horizontal(side))
        n.x = std::min(std::max(n.x, r.f.minX() - o.f.width + minOverlap), r.f.maxX() - minOverlap);
    else
        n.y =
            std::min(std::max(n.y, r.f.minY() - o.f.height + minOverlap), r.f.maxY() - minOverlap);
    apply(r, o, n, side, aPos, "connect");
}

void Engine::apply(const Disp& r, const Disp& o, Point n, Side side, double pos,
                   std::string_view label) {
    // The main display stays at (0,0): when it is the one to place, the other moves instead.
    const bool placeMain = o.id == arrangement_.mainDisplay();
    const Disp& mover = placeMain ? r : o;
    const Point from = mover.f.origin();
    const Point to = placeMain ? Point{r.f.x - (n.x - o.f.x), r.f.y - (n.y - o.f.y)} : n;
    lastMoves_ = {Move{mover.id, from}};

    beginMove();

    const bool ok = arrangement_.setOrigins({Move{mover.id, to}});
    pointer_.displaysChanged();
    log(std::string(label) + " side=" + word(side) + " pos=" + num(pos) +
        " move id=" + std::to_string(mover.id) + " " + formatPoint(from) + " -> " +
        formatPoint(to) + " ok=" + okText(ok));

    const double rel = horizontal(side) ? pos - r.f.minX() : pos - r.f.minY();
    later(Config::settle, [this, rid = r.id, oid = o.id, side, rel, ok] {
        reload();
        log("after: " + arrangement_.describe(cache_));
        // Nothing moved: no jump of the pointer, and no word of success.
        if (!ok) {
            if (onRefused) onRefused(pointer_.location());
            return;
        }
        const Disp* r2 = cached(rid);
        const Disp* o2 = cached(oid);
        if (!r2 || !o2) return;
        // On the placed display, warpInset in from the new shared edge, off its ends.
        Point target;
        const Rect& of = o2->f;
        if (horizontal(side)) {
            target.x = std::max(std::min(r2->f.minX() + rel, of.maxX() - kWarpEndGap),
                                of.minX() + kWarpEndGap);
            target.y =
                side == Side::top ? of.maxY() - Config::warpInset : of.minY() + Config::warpInset;
        } else {
            target.y = std::max(std::min(r2->f.minY() + rel, of.maxY() - kWarpEndGap),
                                of.minY() + kWarpEndGap);
            target.x =
                side == Side::left ? of.maxX() - Config::warpInset : of.minX() + Config::warpInset;
        }
        // Where clients may not move the pointer, it stays where the user left it.
        if (pointer_.canWarp()) pointer_.warp(target);
        if (onMoved) onMoved(side, target);
    });
}

bool Engine::applyLayout(const std::vector<Move>& moves, std::string_view label) {
    reload();
    lastMoves_.clear();
    for (const Disp& d : cache_)
        if (!arrangement_.services().mirrors(d.id)) lastMoves_.push_back({d.id, d.f.origin()});

    beginMove();

    // Described before the move, so the main marker shows the old main display.
    const std::string before = arrangement_.describe(cache_);
    const bool ok = arrangement_.setOrigins(moves);
    pointer_.displaysChanged();
    log(std::string(label) + " before " + before + " move " + movesText(moves) +
        " ok=" + okText(ok));
    later(Config::settle, [this] {
        reload();
        log("after: " + arrangement_.describe(cache_));
    });
    return ok;
}

UndoOutcome Engine::undo() {
    if (lastMoves_.empty()) return UndoOutcome::nothing;
    const bool ok = arrangement_.setOrigins(lastMoves_);
    pointer_.displaysChanged();
    log("undo " + movesText(lastMoves_) + " ok=" + okText(ok));
    // A refused undo keeps its step: the origins are absolute, so trying again is safe.
    if (ok) lastMoves_.clear();
    forget();
    later(Config::settle, [this] { reload(); });
    return ok ? UndoOutcome::undone : UndoOutcome::refused;
}

void Engine::click(Point p) {
    if (aim_) {
        log("aim cancelled by click");
        aim_.reset();
        bar_->hide();
    }
    // A crossing serves at most one click.
    const std::optional<Crossing> cross = std::exchange(crossing_, std::nullopt);
    const double now = clock_.uptime();
    if (!autoAlign || !cross || now - cross->t > kCrossingUsable || !cross->to.f.contains(p) ||
        trail_.size() < kMinTrail)
        return;
    const auto end = strokeEnd();
    if (!end) return;
    const Sample& e = trail_[*end];
    const Point first = trail_[0].p;
    const double travel = std::hypot(p.x - first.x, p.y - first.y);
    if (*end < cross->index || e.sid != cross->to.id || travel < kMinTravel) {
        log("align skip (crossIdx=" + std::to_string(cross->index) +
            " end=" + std::to_string(*end) + " travel=" + num(travel) + ")");
        return;
    }
    // How far the user moved along the edge after the stroke came to rest.
    const double corr = horizontal(cross->side) ? p.x - e.p.x : p.y - e.p.y;
    if (std::abs(corr) > kOutlier) {
        log("align skip outlier corr=" + num(corr));
        return;
    }
    const double shift = alignShift(corr, cross->to.id == arrangement_.mainDisplay());
    shifts_.push_back(shift);
    if (static_cast<int>(shifts_.size()) > Config::alignKeep) shifts_.erase(shifts_.begin());

    std::string all = "[";
    for (size_t i = 0; i < shifts_.size(); ++i) all += (i ? ", " : "") + num(shifts_[i]);
    all += "]";
    log("align sample side=" + word(cross->side) + " corr=" + num(corr) + " shift=" + num(shift) +
        " n=" + std::to_string(shifts_.size()) + " all=" + all);

    const int kept = static_cast<int>(shifts_.size());
    if (kept < Config::alignMinSamples) return;
    const double m = median(shifts_);
    const auto agreeing =
        std::count_if(shifts_.begin(), shifts_.end(), [m](double s) { return m * s > 0; });
    if (std::abs(m) < Config::alignMinShift ||
        static_cast<double>(agreeing) / kept < Config::alignAgree)
        return;
    const double step =
        std::clamp(m * Config::alignGain, -Config::alignMaxStep, Config::alignMaxStep);
    applyAlign(step, horizontal(cross->side), 0);
}

std::optional<int> Engine::strokeEnd() {
    const int n = trail_.size();
    speeds_.assign(n, 0.0);
    for (int i = 1; i < n; ++i) {
        const Sample& a = trail_[i - 1];
        const Sample& b = trail_[i];
        speeds_[i] = std::hypot(b.p.x - a.p.x, b.p.y - a.p.y) / std::max(b.t - a.t, kMinDt);
    }
    smooth_ = speeds_;
    for (int k = 1; k + 1 < n; ++k) smooth_[k] = (speeds_[k - 1] + speeds_[k] + speeds_[k + 1]) / 3;
    const int peak =
        static_cast<int>(std::max_element(smooth_.begin(), smooth_.end()) - smooth_.begin());
    const double top = smooth_[peak];
    if (!(top > 0)) return std::nullopt;
    for (int j = peak + 1; j < n; ++j) {
        if (smooth_[j] < top / 4) return j;
        if (j + 1 < n && trail_[j + 1].t - trail_[j].t > kStrokePause) return j;
    }
    return n - 1;
}

void Engine::applyAlign(double step, bool horizontal, int tries) {
    if (clock_.uptime() - lastEventT_ < kStill) {
        // Wait for a still pointer so the step does not race it.
        if (tries >= kMaxTries) return;
        later(kRetry, [this, step, horizontal, tries] { applyAlign(step, horizontal, tries + 1); });
        return;
    }
    reload();
    if (cache_.size() != 2) return;
    const std::uint32_t mainId = arrangement_.mainDisplay();
    const Disp* op = nullptr;
    const Disp* mp = nullptr;
    for (const Disp& d : cache_) {
        if (d.id == mainId)
            mp = mp ? mp : &d;
        else
            op = op ? op : &d;
    }
    if (!op || !mp) return;
    const Disp o = *op, m = *mp;
    const Point from = o.f.origin();
    const Point to = horizontal ? Point{from.x + step, from.y} : Point{from.x, from.y + step};
    const Rect placed{to.x, to.y, o.f.width, o.f.height};
    if (auto s = sideOf(m.f, placed)) {
        const auto [low, high] = sharedSpan(*s, m.f, placed);
        const double shorter =
            horizontal ? std::min(m.f.width, o.f.width) : std::min(m.f.height, o.f.height);
        if (high - low < Config::alignMinOverlap * shorter) {
            log("align blocked: overlap too thin");
            shifts_.clear();
            return;
        }
    }
    const Point at = pointer_.location();
    const bool carried = o.f.contains(at);  // the pointer is on the display that moves
    lastMoves_ = {Move{o.id, from}};
    const bool ok = arrangement_.setOrigins({Move{o.id, to}});
    pointer_.displaysChanged();
    log("align apply step=" + num(step) + " " + formatPoint(from) + " -> " + formatPoint(to) +
        " ok=" + okText(ok));
    shifts_.clear();
    later(Config::settle, [this, step, horizontal, at, carried, ok] {
        reload();
        // Nothing moved: the pointer stays, and there is no success to report.
        if (!ok) return;
        Point now = at;
        if (carried && pointer_.canWarp()) {
            // Keeps the pointer on the same spot of the moved display's picture.
            (horizontal ? now.x : now.y) += step;
            pointer_.warp(now);
        }
        if (onAligned) onAligned(step, horizontal, now);
    });
}

// Every move disarms the gestures for the cooldown and drops what was being tracked.
void Engine::beginMove() {
    armed_ = false;
    cooldownUntil_ = clock_.uptime() + Config::cooldown;
    push_.reset();
    aim_.reset();
    excursion_.reset();
    bar_->hide();
    forget();
}

}  // namespace seam
