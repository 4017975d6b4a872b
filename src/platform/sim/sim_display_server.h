// An in-memory window server for tests and for reproducing bugs: displays with
// frames in global space, a main display, mirror sets, a pointer and
// configuration transactions whose failures can be injected.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/display_identity.h"
#include "platform/display_services.h"
#include "platform/pointer.h"

namespace seam {

struct SimDisplay {
    std::uint32_t id = 0;
    Rect frame;
    bool builtin = false;
    bool active = true;  // false: connected but without a picture
    std::optional<std::uint32_t> mirrorOf;
    std::string name;                // the name shown to the user; empty: none
    std::string output;              // the output's name ("DP-1"); empty: none
    std::vector<std::uint8_t> edid;  // in the info dictionary; empty: none
    // The window server's own numbers.
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t serial = 0;
    std::uint32_t unit = 0;
    std::optional<std::string> uuid;
    std::optional<std::string> registryPath;  // "IODisplayLocation" of the info dictionary
    std::optional<nlohmann::json> info;       // replaces the dictionary made of the two above
};

class SimDisplayServer : public DisplayServices,
                         public PointerServices,
                         public DisplayIdentitySource {
  public:
    // The first display added becomes main and is moved to (0,0); frames of later
    // displays are in global space.
    void addDisplay(SimDisplay d);
    void removeDisplay(std::uint32_t id);
    void setMain(std::uint32_t id);
    SimDisplay* find(std::uint32_t id);

    // The n-th move (1-based) of every following transaction fails until reset with 0.
    void failMoveNumber(int n) { failMove_ = n; }
    void failBegin(bool fail) { failBegin_ = fail; }
    void failComplete(bool fail) { failComplete_ = fail; }

    // Every transaction handed to configure, in order, including failed ones.
    const std::vector<std::vector<DisplayMove>>& transactions() const { return transactions_; }
    // Called after each completed configuration.
    std::function<void()> onReconfigure;

    std::vector<Disp> activeDisplays() override;
    std::vector<std::uint32_t> onlineDisplays() override;
    std::uint32_t mainDisplay() override { return main_; }
    bool isBuiltin(std::uint32_t id) override;
    std::optional<std::uint32_t> mirrors(std::uint32_t id) override;
    bool configure(const std::vector<DisplayMove>& moves) override;
    Rect toToolkit(const Rect& global) override { return global; }
    std::optional<std::string> outputName(std::uint32_t id) override {
        const SimDisplay* d = find(id);
        return d && !d->output.empty() ? std::optional(d->output) : std::nullopt;
    }

    DisplayHardware hardware(std::uint32_t id) override;
    bool infoAvailable() override { return infoAvailable_; }
    std::optional<nlohmann::json> info(std::uint32_t id) override;
    std::optional<RegistryEntry> registryEntry(const std::string& path) override;
    std::vector<RegistryEntry> registryServices() override { return registry; }
    void setInfoAvailable(bool available) { infoAvailable_ = available; }
    // The registry's display services, in registry order; entries are found by path.
    std::vector<RegistryEntry> registry;

    Point location() override { return pointer_; }
    void warp(Point p) override;
    bool canWarp() const override { return canWarp_; }
    // A server that lets no client move the pointer; warps are still recorded.
    void setCanWarp(bool can) { canWarp_ = can; }
    void setPointer(Point p) { pointer_ = p; }
    const std::vector<Point>& warps() const { return warps_; }

  private:
    void normalise();

    std::vector<SimDisplay> displays_;
    std::uint32_t main_ = 0;
    int failMove_ = 0;
    bool failBegin_ = false;
    bool failComplete_ = false;
    bool infoAvailable_ = true;
    std::vector<std::vector<DisplayMove>> transactions_;
    Point pointer_;
    std::vector<Point> warps_;
    bool canWarp_ = true;
};

}  // namespace seam
