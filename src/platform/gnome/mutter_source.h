// What the GNOME backend needs of the compositor's display configuration
// service; the session bus provides it in the program, recorded replies in tests.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/gnome/mutter_state.h"

namespace seam {

// While it lives, the compositor's change announcements reach a function.
class ChangeWatch {
  public:
    virtual ~ChangeWatch() = default;
};

// What the backend asks of the display configuration service.
class MutterConfigSource {
  public:
    virtual ~MutterConfigSource() = default;
    // The error text is set when nothing comes back.
    virtual std::optional<MutterState> currentState(std::string* error = nullptr) = 0;
    // True when the compositor took the configuration; the error text otherwise.
    virtual bool apply(const MutterApply& apply, std::string* error = nullptr) = 0;
    // Nothing when changes cannot be watched.
    virtual std::unique_ptr<ChangeWatch> watch(std::function<void()> onChange) = 0;
};

}  // namespace seam
