// The compositor's display configuration as plain records: what its
// GetCurrentState reply holds, what ApplyMonitorsConfig takes, and the mapping
// between them and global display space (the main display at (0,0)).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "geometry/geometry.h"
#include "platform/display_changes.h"
#include "platform/display_services.h"

namespace seam {

struct MutterMode {
    std::string id;
    int width = 0;
    int height = 0;
    double refresh = 0;
    bool current = false;
};

struct MutterMonitor {
    std::string connector;
    std::string vendor;   // three PNP letters, or the compositor's stand-in
    std::string product;  // the EDID monitor name, else the product code as "0x%04x"
    std::string serial;   // the EDID serial text, else the serial number in hexadecimal
    std::vector<MutterMode> modes;
    bool builtin = false;
    std::optional<std::string> displayName;

    const MutterMode* currentMode() const;
};

struct MutterLogicalMonitor {
    int x = 0;
    int y = 0;
    double scale = 1;
    std::uint32_t transform = 0;  // 0-3 rotations, 4-7 the same flipped
    bool primary = false;
    std::vector<std::string> connectors;  // several: they mirror one another
};

inline constexpr std::uint32_t kLayoutLogical = 1;   // sizes are mode sizes divided by scale
inline constexpr std::uint32_t kLayoutPhysical = 2;  // sizes are mode sizes

struct MutterState {
    std::uint32_t serial = 0;
    std::vector<MutterMonitor> monitors;
    std::vector<MutterLogicalMonitor> logical;
    std::uint32_t layoutMode = kLayoutPhysical;
    bool supportsChangingLayoutMode = false;
};

inline constexpr std::uint32_t kMethodVerify = 0;
inline constexpr std::uint32_t kMethodTemporary = 1;
inline constexpr std::uint32_t kMethodPersistent = 2;

struct ApplyMonitor {
    std::string connector;
    std::string modeId;
    bool operator==(const ApplyMonitor&) const = default;
};

struct ApplyLogicalMonitor {
    int x = 0;
    int y = 0;
    double scale = 1;
    std::uint32_t transform = 0;
    bool primary = false;
    std::vector<ApplyMonitor> monitors;
    bool operator==(const ApplyLogicalMonitor&) const = default;
};

struct MutterApply {
    std::uint32_t serial = 0;
    std::uint32_t method = kMethodPersistent;
    std::vector<ApplyLogicalMonitor> logical;
    std::optional<std::uint32_t> layoutMode;  // sent only where it may be changed
    bool operator==(const MutterApply&) const = default;
};

// Display ids by connector: the same connector keeps its id for the whole
// session, and every process derives the same ids from the same names.
class ConnectorIds {
  public:
    std::uint32_t idFor(const std::string& connector);
    std::optional<std::string> connectorOf(std::uint32_t id) const;

  private:
    std::map<std::string, std::uint32_t> ids_;
};

struct MutterDisplay {
    std::uint32_t id = 0;
    std::string connector;
    bool active = false;  // part of a logical monitor
    Rect frame;           // global display space
    std::optional<std::uint32_t> mirrorOf;
    bool builtin = false;
    const MutterMonitor* monitor = nullptr;  // into the state it was made from
};

struct MutterLayout {
    std::vector<MutterDisplay> displays;  // every monitor, in the reply's order
    std::uint32_t main = 0;               // 0 when nothing shows the desktop
    Point origin;                         // the main display's position in the compositor's layout

    const MutterDisplay* find(std::uint32_t id) const;
    // Active displays in the order of the logical monitors, mirrors after the one they show.
    std::vector<Disp> active() const;
};

// Size of a logical monitor in the compositor's layout.
std::optional<Rect> logicalRect(const MutterState& state, const MutterLogicalMonitor& lm);

MutterLayout layoutOf(const MutterState& state, ConnectorIds& ids);

DisplaySnapshot snapshotOf(const MutterLayout& layout);

struct ApplyRefused {
    std::string reason;  // for the log
};
struct NothingToApply {};

using ApplyPlan = std::variant<MutterApply, NothingToApply, ApplyRefused>;

// Every logical monitor restated with its current mode, scale and transform;
// only positions change. The arrangement is shifted to start at (0,0), and one
// whose logical monitors overlap or do not all hang together is refused. The
// one moved to (0,0) becomes primary, otherwise the primary stays.
ApplyPlan planApply(const MutterState& state, ConnectorIds& ids,
                    const std::vector<DisplayMove>& moves);

// Whether two rectangles share a stretch of edge (corners alone do not count).
bool adjacent(const Rect& a, const Rect& b);

}  // namespace seam
