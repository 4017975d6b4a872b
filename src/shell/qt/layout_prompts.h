// The save and replace questions as modal dialogs.
#pragma once

#include "shell/layout_commands.h"

namespace seam {

class QtLayoutPrompts : public LayoutPrompts {
  public:
    std::optional<std::string> askName(const SavePromptTexts& texts,
                                       const std::string& proposed) override;
    bool confirmReplace(const ReplacePromptTexts& texts) override;
};

}  // namespace seam
