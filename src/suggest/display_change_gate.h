// Turns a burst of display reconfiguration events into one answer: did the set
// of monitors change? Moving a display or changing its resolution does not count.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "layouts/live_display.h"
#include "platform/clock.h"
#include "platform/display_changes.h"

namespace seam {

struct DisplayChangeGate {
    // add, remove, enabled, disabled, mirror, unmirror
    static constexpr std::uint32_t membershipFlags = 0xF30;

    std::uint32_t flags = 0;  // everything noted since the last settle
    bool membership = false;
    std::string lastSignature;

    DisplayChangeGate() = default;
    explicit DisplayChangeGate(std::string signature) : lastSignature(std::move(signature)) {}

    void note(std::uint32_t newFlags);
    // True when a membership flag was noted or the signature differs; resets either way.
    bool settle(const std::string& signature);
};

// Feeds a change source into the gate: every event restarts a 2.0 s wait, and
// when the burst has been quiet that long the gate decides once.
class DisplayChangeWatcher {
  public:
    static constexpr double settleSeconds = 2.0;
    using ReadLive = std::function<std::vector<LiveDisplay>()>;

    DisplayChangeWatcher(DisplayChangeSource& source, Scheduler& scheduler, ReadLive readLive);
    ~DisplayChangeWatcher();
    DisplayChangeWatcher(const DisplayChangeWatcher&) = delete;
    DisplayChangeWatcher& operator=(const DisplayChangeWatcher&) = delete;

    // Takes the monitors attached now as the known set, then registers for
    // events; the registration's status (0: registered).
    int start();

    // After a settle that found the set changed, with the displays read then.
    std::function<void(const std::vector<LiveDisplay>&)> onChanged;
    // At every event noted, long before the settle.
    std::function<void()> onReconfigured;

    // On the main thread, for every event that is not a begin-configuration event.
    void displayReconfigured(std::uint32_t flags);
    void displaysSettled();

    const DisplayChangeGate& changeGate() const { return changeGate_; }
    bool waiting() const { return reconfigTimer_ != 0; }

  private:
    DisplayChangeSource& source_;
    Scheduler& scheduler_;
    ReadLive readLive_;
    DisplayChangeGate changeGate_;
    Scheduler::TaskId reconfigTimer_ = 0;
    // Queued work and the source's callback check this so they never outlive us.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// "0xf30": lower-case hexadecimal without leading zeros.
std::string hexFlags(std::uint32_t flags);

}  // namespace seam
