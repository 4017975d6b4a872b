// Storms of monitor events on the virtual server: bursts of xrandr plugs and
// unplugs, each shorter than the settle, then quiet. The real watcher reads the
// server's events; the settle runs on virtual time, so a hundred bursts take
// seconds, not minutes. SEAM_STORM_BURSTS sets how many (100 by default).
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <cstdlib>
#include <random>

#include "geometry/arrangement.h"
#include "layouts/layout_plan.h"
#include "layouts/live_display.h"
#include "platform/sim/manual_clock.h"
#include "platform/x11/x11_display_changes.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "qt_on_x.h"
#include "suggest/display_change_gate.h"
#include "suggest/suggestion_decision.h"
#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::xserver;
using VirtualXServer = testing::VirtualXServer;

constexpr const char* kOn = "--output DUMMY1 --mode seam1280x960 --pos 1710x0";
constexpr const char* kOff = "--output DUMMY1 --off";
constexpr const char* kAway = "--output DUMMY1 --pos 1710x100";

int bursts() {
    const char* v = std::getenv("SEAM_STORM_BURSTS");
    return v && std::atoi(v) > 0 ? std::atoi(v) : 100;
}

class DisplayStormX11 : public testing::QtOnX {
  protected:
    void SetUp() override {
        ASSERT_TRUE(xserver()) << VirtualXServer::lastError();
        ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::two));
        services = X11DisplayServices::open(xserver()->name().c_str());
        changes = X11DisplayChanges::open(xserver()->name().c_str());
        ASSERT_TRUE(services && changes);
        arrangement = std::make_unique<Arrangement>(*services);
        identity = std::make_unique<X11DisplayIdentity>(*services);
        watcher =
            std::make_unique<DisplayChangeWatcher>(*changes, scheduler, [this] { return live(); });
        // What the application does on a settled change: the suggestion decision.
        watcher->onChanged = [this](const std::vector<LiveDisplay>& now) {
            decisions.push_back(decideSuggestion(layouts, now));
        };
        watcher->onReconfigured = [this] { ++events; };
        ASSERT_EQ(watcher->start(), 0);
        layouts = {makeLayout("Desk", live(), nullptr, Date{1})};
    }
    void TearDown() override {
        watcher.reset();
        if (xserver()) xserver()->arrange();
    }

    std::vector<LiveDisplay> live() { return readLiveDisplays(*arrangement, *identity); }

    // One change on the server, then its events read: the test blocks while
    // xrandr runs, so the first batch read afterwards already sees its end state.
    void change(const char* args) {
        const int before = events;
        int rc = -1;
        xserver()->xrandr(args, &rc);
        ASSERT_EQ(rc, 0) << args;
        ASSERT_TRUE(waitFor([&] {
            scheduler.runDue();
            return events > before;
        })) << args;
    }

    size_t settles() const {
        size_t n = 0;
        for (const auto& m : logs.messages()) n += m.rfind("displays settled", 0) == 0;
        return n;
    }

    // changes, each after less than the settle since the one before, all within
    // 2.0 s; then quiet past the settle.
    void burst(const std::vector<const char*>& steps, std::mt19937& rng) {
        std::uniform_real_distribution<double> gap(0.0, 1.9 / double(steps.size()));
        for (const char* s : steps) {
            change(s);
            ++this->steps;
            EXPECT_TRUE(watcher->waiting());
            scheduler.advance(gap(rng));
        }
        scheduler.advance(DisplayChangeWatcher::settleSeconds);
        EXPECT_FALSE(watcher->waiting());
        // Each change moved one monitor in one way: one event each, none lost or doubled.
        EXPECT_EQ(events, this->steps);
    }

    testing::LogCapture logs;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    std::unique_ptr<X11DisplayServices> services;
    std::unique_ptr<X11DisplayChanges> changes;
    std::unique_ptr<Arrangement> arrangement;
    std::unique_ptr<X11DisplayIdentity> identity;
    std::unique_ptr<DisplayChangeWatcher> watcher;
    std::vector<SavedLayout> layouts;
    std::vector<SuggestionDecision> decisions;
    int events = 0;
    int steps = 0;  // changes made on the server
};

// One change at a time: the gate notes what it did, and only a plug or an
// unplug is considered once it has settled.
TEST_F(DisplayStormX11, EachChangeIsNotedForWhatItDid) {
    const struct {
        const char* args;
        std::uint32_t flags;
        const char* settled;
        size_t considered;
    } cases[] = {
        {kOff, changeFlag::disabled, "displays settled flags=0x200 set-changed=true ", 1},
        {kOn, changeFlag::enabled, "displays settled flags=0x100 set-changed=true ", 2},
        {kAway, changeFlag::moved, "displays settled flags=0x2 set-changed=false ", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        change(c.args);
        EXPECT_EQ(settles(), size_t(&c - cases));
        EXPECT_EQ(watcher->changeGate().flags, c.flags) << hexFlags(watcher->changeGate().flags);
        scheduler.advance(DisplayChangeWatcher::settleSeconds - 0.01);
        EXPECT_TRUE(watcher->waiting());
        scheduler.advance(0.01);
        std::string settled;
        for (const auto& m : logs.messages())
            if (m.rfind("displays settled", 0) == 0) settled = m;
        EXPECT_EQ(settled.rfind(c.settled, 0), 0u) << settled;
        EXPECT_EQ(decisions.size(), c.considered);
    }
}

// Bursts of plugs and unplugs, or of moves away and back; each settles once.
// Only a plug or an unplug makes the set count as changed, and a monitor back
// where it was is arranged as the saved layout already: nothing to offer.
TEST_F(DisplayStormX11, EveryBurstSettlesOnceAndOnlyPlugsAreConsidered) {
    std::mt19937 rng(17);
    bool on = true;
    const int n = bursts();
    size_t considered = 0;
    for (int b = 0; b < n; ++b) {
        std::vector<const char*> steps;
        // Toggles; or, with the monitor on, unplugs or moves away, each undone.
        const int kind = on ? int(rng() % 3) : 0;
        for (int k = 1 + int(rng() % (kind == 0 ? 6 : 3)); k > 0; --k) {
            if (kind == 0) {
                on = !on;
                steps.push_back(on ? kOn : kOff);
            } else {
                steps.push_back(kind == 1 ? kOff : kAway);
                steps.push_back(kOn);
            }
        }
        const bool plugged = kind != 2;
        burst(steps, rng);
        ASSERT_EQ(settles(), size_t(b + 1)) << "burst " << b;
        considered += plugged;
        ASSERT_EQ(decisions.size(), considered) << "burst " << b;
        if (plugged && on) {
            EXPECT_EQ(decisions.back(), SuggestionDecision{AlreadyArranged{"Desk"}})
                << "burst " << b;
        }
    }
    std::cout << "bursts=" << n << " events=" << events << " settles=" << settles()
              << " considered=" << considered << "\n";
}

}  // namespace
}  // namespace seam
