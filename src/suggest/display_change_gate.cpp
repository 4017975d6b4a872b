#include "suggest/display_change_gate.h"

#include <cstdio>

#include "base/log.h"

namespace seam {

void DisplayChangeGate::note(std::uint32_t newFlags) {
    flags |= newFlags;
    if (newFlags & membershipFlags) membership = true;
}

bool DisplayChangeGate::settle(const std::string& signature) {
    const bool changed = membership || signature != lastSignature;
    flags = 0;
    membership = false;
    lastSignature = signature;
    return changed;
}

std::string hexFlags(std::uint32_t flags) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(flags));
    return buf;
}

DisplayChangeWatcher::DisplayChangeWatcher(DisplayChangeSource& source, Scheduler& scheduler,
                                           ReadLive readLive)
    : source_(source), scheduler_(scheduler), readLive_(std::move(readLive)) {}

DisplayChangeWatcher::~DisplayChangeWatcher() {
    *alive_ = false;
    if (reconfigTimer_) scheduler_.cancel(reconfigTimer_);
}

int DisplayChangeWatcher::start() {
    changeGate_.lastSignature = setSignature(readLive_());
    std::weak_ptr<bool> alive = alive_;
    Scheduler* scheduler = &scheduler_;
    return source_.registerCallback([this, alive, scheduler](std::uint32_t, std::uint32_t flags) {
        if (flags & changeFlag::beginConfiguration) return;
        if (alive.expired()) return;
        // The source may call from wherever it is told of the change: the work
        // itself always runs queued on the main loop.
        scheduler->after(0, [this, alive, flags] {
            if (auto a = alive.lock(); a && *a) displayReconfigured(flags);
        });
    });
}

void DisplayChangeWatcher::displayReconfigured(std::uint32_t flags) {
    changeGate_.note(flags);
    if (reconfigTimer_) scheduler_.cancel(reconfigTimer_);
    std::weak_ptr<bool> alive = alive_;
    reconfigTimer_ = scheduler_.after(settleSeconds, [this, alive] {
        if (auto a = alive.lock(); a && *a) {
            reconfigTimer_ = 0;
            displaysSettled();
        }
    });
    if (onReconfigured) onReconfigured();
}

void DisplayChangeWatcher::displaysSettled() {
    const std::vector<LiveDisplay> live = readLive_();
    const std::uint32_t flags = changeGate_.flags;
    const bool changed = changeGate_.settle(setSignature(live));
    log("displays settled flags=" + hexFlags(flags) +
        " set-changed=" + (changed ? "true" : "false") + " " + describeLive(live));
    if (changed && onChanged) onChanged(live);
}

}  // namespace seam
