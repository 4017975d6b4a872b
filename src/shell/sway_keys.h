// The hot keys as sway key bindings that run our own commands: sway gives no
// client a global key, but its IPC adds bindings at run time. Bound at start and
// whenever the keys change, removed at quit, so nothing stays in sway behind us.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sway_ipc.h"
#include "shell/command_keys.h"

namespace seam {

// "exec 'PROGRAM' --apply-layout 'Home'"; nothing when a word holds what sway
// or the shell would read for themselves (quotes, backslashes, $, ; and ",",
// control codes).
std::optional<std::string> swayExec(const std::string& program,
                                    const std::vector<std::string>& args);

class SwayKeys : public CommandKeys {
  public:
    SwayKeys(SwayCommands& sway, std::string program);
    // Nothing stays bound in sway behind the program.
    ~SwayKeys() override;
    SwayKeys(const SwayKeys&) = delete;
    SwayKeys& operator=(const SwayKeys&) = delete;
    // Removes the bindings made before, then binds these; each refusal is logged.
    void bind(const std::vector<CommandKey>& keys) override;
    void unbindAll() override;
    const std::vector<std::string>& bound() const { return bound_; }

  private:
    bool run(const std::string& command);

    SwayCommands& sway_;
    std::string program_;
    std::vector<std::string> bound_;  // the combos, for unbinding
};

}  // namespace seam
