// The only reader and writer of the display arrangement.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "platform/display_services.h"

namespace seam {

// A display and its new origin in global display space.
struct Move {
    std::uint32_t id = 0;
    Point origin;
    bool operator==(const Move&) const = default;
};

// "id=2->(1750,0) id=3->(-10,5)", coordinates truncated.
std::string movesText(const std::vector<Move>& moves);

// Rounds halves away from zero; nothing when the result leaves the signed 32-bit range.
std::optional<DisplayMove> roundedMove(const Move& move);

class Arrangement {
  public:
    explicit Arrangement(DisplayServices& services) : services_(services) {}

    // A fresh snapshot of the active displays, in the server's order.
    std::vector<Disp> displays();
    // One transaction: all moves take effect or none. In dry-run mode only logs.
    bool setOrigins(const std::vector<Move>& moves);
    bool setOrigin(std::uint32_t id, Point origin);

    std::uint32_t mainDisplay() { return services_.mainDisplay(); }
    bool isBuiltin(std::uint32_t id) { return services_.isBuiltin(id); }
    // A short user-facing name: the built-in panel or "monitor".
    std::string screenName(std::uint32_t id);
    // One-line description for logs.
    std::string describe(const std::vector<Disp>& list);
    // Global display space to the toolkit's window space.
    Rect cocoaRect(const Rect& r) { return services_.toToolkit(r); }

    DisplayServices& services() { return services_; }

  private:
    DisplayServices& services_;
};

}  // namespace seam
