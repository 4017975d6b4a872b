// The user's commands on saved layouts: save the current arrangement under a
// name, apply a layout (menu, hot key, suggestion, automatically), delete,
// rename, switch automatic application; and the hot keys that apply layouts.
// The dialogs and the windows around are reached through LayoutPrompts and
// optional callbacks, so the commands run the same on the simulated platform.
//
// Wiring, for example:
//   LayoutCommands layouts({.store = store, .arrangement = arrangement, ...});
//   layouts.hotKeysChanged = [&] { delegate.applyHotKeys(); };
//   layouts.undoKeyDisplay = [&] { return undoKey.display(); };
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "align/align_mode.h"
#include "align/pill.h"
#include "engine/engine.h"
#include "layouts/layout_store.h"
#include "platform/display_identity.h"
#include "shell/hot_key_registry.h"
#include "shell/hot_key_spec.h"
#include "shell/menu.h"

namespace seam {

struct SavePromptTexts {
    std::string title, message, placeholder, save, cancel;
};
// The message warns of identical monitors when there are some.
SavePromptTexts savePromptTexts(bool indistinguishable);

struct ReplacePromptTexts {
    std::string title, replace, cancel;
};
ReplacePromptTexts replacePromptTexts();

// The server refused to arrange the monitors as the layout says.
std::string layoutRefusedText(const std::string& name);

enum class ApplyOutcome { applied, unknownLayout, monitorsDiffer, refused };

// The two questions of saving. Both bring the application to the front first.
class LayoutPrompts {
  public:
    virtual ~LayoutPrompts() = default;
    // The name as typed (not trimmed); nothing when the user did not choose Save.
    virtual std::optional<std::string> askName(const SavePromptTexts& texts,
                                               const std::string& proposed) = 0;
    // True for Replace.
    virtual bool confirmReplace(const ReplacePromptTexts& texts) = 0;
};

class LayoutCommands {
  public:
    struct Parts {
        LayoutStore& store;
        Arrangement& arrangement;
        DisplayIdentitySource& identity;
        Engine& engine;
        AlignMode& alignMode;
        Pill& pill;
        PointerServices& pointer;
        Scheduler& scheduler;
        const Clock& clock;
        // Layout hot keys are kept here under "hotkey.layout." + id.
        SettingsStore& prefs;
        LayoutPrompts& prompts;
    };

    explicit LayoutCommands(Parts parts);
    ~LayoutCommands();
    LayoutCommands(const LayoutCommands&) = delete;
    LayoutCommands& operator=(const LayoutCommands&) = delete;

    // The layout the suggestion panel offers now; nothing when it is not showing.
    std::function<std::optional<std::string>()> shownSuggestion;
    std::function<void()> dismissSuggestion;
    // The settings window shows the layouts afresh.
    std::function<void()> reloadLayouts;
    // All hot keys are registered again and the menu titles follow.
    std::function<void()> hotKeysChanged;
    // The undo key as the messages show it ("Ctrl+Alt+Super+Z").
    std::function<std::string()> undoKeyDisplay;

    void saveLayout();
    // via names the caller in the log: "menu", "hotkey", "suggestion", "auto", "command".
    ApplyOutcome applyLayout(const std::string& id, std::string_view via);
    // The layout whose name matches as the store compares names (" office " is "Office").
    ApplyOutcome applyLayoutNamed(std::string_view name, std::string_view via);
    // The chosen menu item names its layout by id; anything else does nothing.
    void applyLayoutItem(const MenuItem& item);
    void deleteLayout(const std::string& id);
    // False when the store refused the name (empty, or taken by another layout).
    bool renameLayout(const std::string& id, const std::string& name);
    void setAutoApply(const std::string& id, bool on);

    // The hot keys assigned to layouts, by layout id.
    std::map<std::string, HotKeySpec> layoutKeys;
    // Reads each stored layout's key; a key that is missing or does not decode is dropped.
    void loadLayoutKeys();
    // Forgets the layout ids registered before, then registers each stored layout's
    // key as 100 + its position, so ids that moved after a delete keep no old action.
    void registerLayoutHotKeys(HotKeyRegistry& registry);
    const std::vector<std::uint32_t>& layoutHotKeyIDs() const { return layoutHotKeyIDs_; }

  private:
    Date now() const;
    void showNearPointer(const std::string& text, double seconds);

    Parts p_;
    std::vector<std::uint32_t> layoutHotKeyIDs_;
    // Delayed messages check this so they never outlive the commands.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace seam
