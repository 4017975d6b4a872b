// What a Wayland compositor says about its outputs, as plain records: heads
// (output devices, shown or not) with their modes, built up from the output
// protocol's events. wlroots' output management ends a batch for every head at
// once; KWin's output devices end each device's own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace seam {

struct OutputMode {
    std::uint32_t key = 0;  // our handle for the mode object
    int width = 0;          // physical pixels
    int height = 0;
    int refresh = 0;  // mHz, 0 when not said
    bool preferred = false;
    bool operator==(const OutputMode&) const = default;
};

struct OutputHead {
    std::uint32_t key = 0;  // our handle for the head object
    std::string name;       // the connector, unique among the heads: "DP-1", "eDP-1"
    std::string description;
    std::string make;
    std::string model;
    std::string serial;
    std::string eisaId;  // the EDID's three-letter maker code
    std::string uuid;
    std::vector<std::uint8_t> edid;  // empty when the monitor or protocol gave none
    bool enabled = false;
    std::vector<OutputMode> modes;
    std::optional<std::uint32_t> currentMode;  // key of one of modes
    int x = 0;  // compositor layout, logical units; meaningful only when enabled
    int y = 0;
    int transform = 0;  // wl_output transform: odd values turn by 90 or 270 degrees
    double scale = 1.0;
    bool operator==(const OutputHead&) const = default;

    const OutputMode* mode(std::uint32_t modeKey) const;
};

// One output protocol event, objects named by our handles.
namespace output {
struct HeadAdded {
    std::uint32_t head = 0;
};
enum class TextField { name, description, make, model, serial, eisaId, uuid };
struct HeadText {
    std::uint32_t head = 0;
    TextField field = TextField::name;
    std::string value;
};
struct HeadEdid {
    std::uint32_t head = 0;
    std::string base64;  // as the protocol carries it
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
// Gone from the next batch on.
struct HeadFinished {
    std::uint32_t head = 0;
};
// Gone at once: the device's global went away.
struct HeadRemoved {
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
// Every head's batch ends.
struct Done {
    std::uint32_t serial = 0;
};
// One head's batch ends.
struct HeadDone {
    std::uint32_t head = 0;
};
// The output the user made primary, by name.
struct Primary {
    std::string name;
};
using Event =
    std::variant<HeadAdded, HeadText, HeadEdid, HeadEnabled, HeadModeAdded, HeadCurrentMode,
                 HeadPosition, HeadTransform, HeadScale, HeadFinished, HeadRemoved, ModeSize,
                 ModeRefresh, ModePreferred, ModeFinished, Done, HeadDone, Primary>;
}  // namespace output

// Bytes of base64 text; nothing when the text is not base64.
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text);

// Applies events as they come; what they say takes effect at the done that ends
// their batch.
class OutputTracker {
  public:
    // True when the event completed a batch of every head, or changed what
    // heads() or primary() say.
    bool apply(const output::Event& event);
    // The heads as of their last done, in the order they were first completed.
    const std::vector<OutputHead>& heads() const { return committed_; }
    const std::string& primary() const { return primary_; }
    std::uint32_t serial() const { return serial_; }
    bool everDone() const { return everDone_; }

  private:
    OutputHead* pending(std::uint32_t key);
    OutputMode* pendingMode(std::uint32_t key);
    bool commit(const OutputHead& head);

    std::vector<OutputHead> pending_;
    std::vector<OutputHead> committed_;
    std::string primary_;
    std::uint32_t serial_ = 0;
    bool everDone_ = false;
};

}  // namespace seam
