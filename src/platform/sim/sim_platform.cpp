#include "platform/sim/sim_platform.h"

namespace seam {

SimPlatform::SimPlatform(Abilities has, std::string name)
    : name_(std::move(name)), placesWindows_(has.placeWindows), coversOutputs_(has.coverOutputs) {
    server.setCanWarp(has.warp);
    if (has.displayChanges) changes_ = std::make_unique<SimDisplayChanges>(server);
    if (has.pointerFeed) feed_ = std::make_unique<Feed>();
    if (has.hotKeys) hotKeys_ = std::make_unique<SimHotKeys>();
    setSessionServices(has.loginItem ? std::make_unique<SimLoginItem>() : nullptr,
                       has.wake ? std::make_unique<SimWake>() : nullptr);
}

}  // namespace seam
