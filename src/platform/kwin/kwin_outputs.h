// What KWin says about its outputs, as plain records: output devices with their
// modes and the monitor's EDID, built up from the output device events. Each
// device's events take effect together at that device's done.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace seam {

struct KwinMode {
    std::uint32_t key = 0;  // our handle for the mode object
    int width = 0;          // physical pixels
    int height = 0;
    int refresh = 0;  // mHz
    bool preferred = false;
    bool operator==(const KwinMode&) const = default;
};

struct KwinOutput {
    std::uint32_t key = 0;  // our handle for the device object
    std::string name;       // the connector: "DP-1", "eDP-1", "Virtual-1"
    std::string make;
    std::string model;
    std::string serial;
    std::string eisaId;  // the EDID's three-letter maker code
    std::string uuid;
    std::vector<std::uint8_t> edid;  // empty when the monitor gave none
    bool enabled = false;
    std::vector<KwinMode> modes;
    std::optional<std::uint32_t> currentMode;
    int x = 0;  // compositor layout, logical units
    int y = 0;
    int transform = 0;  // odd values turn by 90 or 270 degrees
    double scale = 1.0;
    bool operator==(const KwinOutput&) const = default;

    const KwinMode* mode(std::uint32_t modeKey) const;
};

namespace kwin {
struct OutputAdded {
    std::uint32_t output = 0;
};
struct Geometry {
    std::uint32_t output = 0;
    int x = 0;
    int y = 0;
    std::string make;
    std::string model;
    int transform = 0;
};
enum class TextField { name, serial, eisaId, uuid };
struct Text {
    std::uint32_t output = 0;
    TextField field = TextField::name;
    std::string value;
};
struct Edid {
    std::uint32_t output = 0;
    std::string base64;  // as the protocol carries it
};
struct Enabled {
    std::uint32_t output = 0;
    bool enabled = false;
};
struct ModeAdded {
    std::uint32_t output = 0;
    std::uint32_t mode = 0;
};
struct CurrentMode {
    std::uint32_t output = 0;
    std::uint32_t mode = 0;
};
struct Scale {
    std::uint32_t output = 0;
    double scale = 1.0;
};
struct Done {
    std::uint32_t output = 0;
};
// The device's global went away.
struct OutputRemoved {
    std::uint32_t output = 0;
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
struct ModeRemoved {
    std::uint32_t mode = 0;
};
// The output the user made primary, by name.
struct Primary {
    std::string name;
};
using Event =
    std::variant<OutputAdded, Geometry, Text, Edid, Enabled, ModeAdded, CurrentMode, Scale, Done,
                 OutputRemoved, ModeSize, ModeRefresh, ModePreferred, ModeRemoved, Primary>;
}  // namespace kwin

// Bytes of base64 text; nothing when the text is not base64.
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text);

class KwinOutputTracker {
  public:
    // True when what the outputs() or primary() say changed.
    bool apply(const kwin::Event& event);
    // Outputs that completed at least one done, in the order they were announced.
    const std::vector<KwinOutput>& outputs() const { return committed_; }
    const std::string& primary() const { return primary_; }

  private:
    KwinOutput* pending(std::uint32_t key);
    KwinMode* pendingMode(std::uint32_t key);

    std::vector<KwinOutput> pending_;
    std::vector<KwinOutput> committed_;
    std::string primary_;
};

}  // namespace seam
