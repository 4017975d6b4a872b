// What a wlroots compositor says about its outputs, as plain records: heads
// (output devices, shown or not) with their modes, built up from the output
// management events and taken over as a whole at each done event.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace seam {

struct WlrMode {
    std::uint32_t key = 0;  // our handle for the mode object
    int width = 0;          // physical pixels
    int height = 0;
    int refresh = 0;  // mHz, 0 when not said
    bool preferred = false;
    bool operator==(const WlrMode&) const = default;
};

struct WlrHead {
    std::uint32_t key = 0;  // our handle for the head object
    std::string name;       // connector-like, unique among the heads: "DP-1", "eDP-1"
    std::string description;
    std::string make;
    std::string model;
    std::string serial;
    bool enabled = false;
    std::vector<WlrMode> modes;
    std::optional<std::uint32_t> currentMode;  // key of one of modes
    int x = 0;                                 // compositor layout, meaningful only when enabled
    int y = 0;
    int transform = 0;  // wl_output transform: odd values turn by 90 or 270 degrees
    double scale = 1.0;
    bool operator==(const WlrHead&) const = default;

    const WlrMode* mode(std::uint32_t modeKey) const;
};

// An output the compositor shows through wl_output and xdg-output. Some
// compositors report a head as disabled while showing it (sway 1.7 does so for
// outputs without fixed modes); this is then where its place comes from.
struct WlrShownOutput {
    std::string name;
    int x = 0;  // logical position and size in the compositor layout
    int y = 0;
    int width = 0;
    int height = 0;
    int modeWidth = 0;  // current mode, physical pixels
    int modeHeight = 0;
    int refresh = 0;  // mHz
    int transform = 0;
    bool operator==(const WlrShownOutput&) const = default;
};

// One output management event, objects named by our handles.
namespace wlr {
struct HeadAdded {
    std::uint32_t head = 0;
};
enum class TextField { name, description, make, model, serial };
struct HeadText {
    std::uint32_t head = 0;
    TextField field = TextField::name;
    std::string value;
};
struct HeadEnabled {
    std::uint32_t head = 0;
    bool enabled = false;
};
struct HeadModeAdded {
    std::uint32_t head = 0;
    std::uint32_t mode = 0;
};
struct HeadCurrentMode {
    std::uint32_t head = 0;
    std::uint32_t mode = 0;
};
struct HeadPosition {
    std::uint32_t head = 0;
    int x = 0;
    int y = 0;
};
struct HeadTransform {
    std::uint32_t head = 0;
    int transform = 0;
};
struct HeadScale {
    std::uint32_t head = 0;
    double scale = 1.0;
};
struct HeadFinished {
    std::uint32_t head = 0;
};
struct ModeSize {
    std::uint32_t mode = 0;
    int width = 0;
    int height = 0;
};
struct ModeRefresh {
    std::uint32_t mode = 0;
    int refresh = 0;
};
struct ModePreferred {
    std::uint32_t mode = 0;
};
struct ModeFinished {
    std::uint32_t mode = 0;
};
struct Done {
    std::uint32_t serial = 0;
};
using Event = std::variant<HeadAdded, HeadText, HeadEnabled, HeadModeAdded, HeadCurrentMode,
                           HeadPosition, HeadTransform, HeadScale, HeadFinished, ModeSize,
                           ModeRefresh, ModePreferred, ModeFinished, Done>;
}  // namespace wlr

// Applies events as they come; what they say takes effect together at done.
class WlrHeadTracker {
  public:
    // True when the event completed a batch (a done).
    bool apply(const wlr::Event& event);
    // The heads as of the last done, in the order they were announced.
    const std::vector<WlrHead>& heads() const { return committed_; }
    std::uint32_t serial() const { return serial_; }
    bool everDone() const { return everDone_; }

  private:
    WlrHead* pendingHead(std::uint32_t key);
    WlrMode* pendingMode(std::uint32_t key);

    std::vector<WlrHead> pending_;
    std::vector<WlrHead> committed_;
    std::uint32_t serial_ = 0;
    bool everDone_ = false;
};

}  // namespace seam
