// Starting the program when the user logs in, as the desktop offers it.
#pragma once

#include <optional>
#include <string>

namespace seam {

class LoginItemService {
  public:
    virtual ~LoginItemService() = default;
    // Whether the program starts at login now.
    virtual bool enabled() const = 0;
    // Nothing when done; otherwise why it could not be done, for the log.
    virtual std::optional<std::string> setEnabled(bool on) = 0;
};

}  // namespace seam
