// The application's reaction to a fitting layout: nothing, apply it at once, or
// offer it in the suggestion panel; the panel's answer; the switch that turns
// suggestions on and off.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings_store.h"
#include "layouts/layout_store.h"
#include "layouts/live_display.h"

namespace seam {

// The suggestion panel as the logic sees it.
class SuggestionView {
  public:
    virtual ~SuggestionView() = default;
    virtual void show(const std::string& layoutID, const std::string& name) = 0;
    // Closes without answering.
    virtual void dismiss() = 0;
    virtual bool isShowing() const = 0;
};

class SuggestionController {
  public:
    static constexpr const char* suggestKey = "layouts.suggest";

    SuggestionController(LayoutStore& store, SettingsStore& settings, SuggestionView& panel);

    // True while the click-alignment overlays or the photo windows are open.
    std::function<bool()> isBusy;
    // Applies a layout by id; via says who asked ("suggestion", "auto").
    std::function<void(const std::string& id, const std::string& via)> applyLayout;

    // True unless "layouts.suggest" holds the boolean false.
    bool suggestEnabled() const;
    void setSuggestEnabled(bool on);
    void toggleSuggest();

    void considerSuggestion(const std::vector<LiveDisplay>& live, std::string_view reason);
    // The panel's answer: apply when the user chose to switch; always when the
    // box to switch without asking was ticked.
    void answer(const std::string& id, bool apply, bool always);

  private:
    LayoutStore& store_;
    SettingsStore& settings_;
    SuggestionView& panel_;
};

}  // namespace seam
