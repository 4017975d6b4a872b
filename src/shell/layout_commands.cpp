#include "shell/layout_commands.h"

#include "base/log.h"
#include "base/text.h"
#include "engine/config.h"
#include "layouts/layout_plan.h"
#include "layouts/live_display.h"
#include "layouts/unicode_text.h"
#include "shell/saved_layouts_menu.h"

namespace seam {

namespace {
std::string inQuotes(const std::string& name) {
    return "\"" + name + "\"";
}

const char* boolText(bool b) {
    return b ? "true" : "false";
}

std::string layoutKeyName(const std::string& id) {
    return "layout." + id;
}
}  // namespace

SavePromptTexts savePromptTexts(bool indistinguishable) {
    SavePromptTexts t{
        .title = T("지금 배치 저장", "Save Current Layout"),
        .message = T("이 배치를 뭐라고 부를까요?", "What should we call this layout?"),
        .placeholder = T("예: 집, 사무실", "e.g. Home, Office"),
        .save = T("저장", "Save"),
        .cancel = T("취소", "Cancel"),
    };
    if (indistinguishable)
        t.message += "\n\n" + T("똑같은 모니터가 여러 대라 맞출 때 서로 바뀔 수 있어요. 이상하면 "
                                "되돌리기를 눌러 주세요.",
                                "Some of these monitors are identical, so they may swap places "
                                "when applied. If that happens, use Undo.");
    return t;
}

ReplacePromptTexts replacePromptTexts() {
    return {
        .title = T("같은 이름의 배치가 있어요. 바꿔 쓸까요?",
                   "A layout with this name already exists. Replace it?"),
        .replace = T("바꿔 쓰기", "Replace"),
        .cancel = T("취소", "Cancel"),
    };
}

std::string layoutRefusedText(const std::string& name) {
    return T(name + " 배치로 맞추지 못했어요", "Couldn’t switch to " + name);
}

LayoutCommands::LayoutCommands(Parts parts) : p_(parts) {}

LayoutCommands::~LayoutCommands() = default;

Date LayoutCommands::now() const {
    return Date::fromUnix(p_.clock.wallTime());
}

void LayoutCommands::showNearPointer(const std::string& text, double seconds) {
    p_.pill.show(text, p_.pointer.location(), seconds);
}

void LayoutCommands::saveLayout() {
    const auto live = readLiveDisplays(p_.arrangement, p_.identity);
    if (live.size() < 2) return;
    const std::string proposed = p_.store.nextDefaultName();

    const auto typed = p_.prompts.askName(savePromptTexts(hasIndistinguishable(live)), proposed);
    if (!typed) {
        log("layout save cancelled");
        return;
    }
    std::string name = trimBlanks(*typed);
    if (name.empty()) name = proposed;

    // A copy: the dialogs run the event loop, and the store may change meanwhile.
    std::optional<SavedLayout> existing;
    if (const SavedLayout* l = p_.store.layoutNamed(name)) existing = *l;
    if (existing && !p_.prompts.confirmReplace(replacePromptTexts())) {
        log("layout save cancelled (name " + inQuotes(existing->name) + " taken)");
        return;
    }

    // Read again: the monitors may have changed while the dialogs were open.
    const auto now = readLiveDisplays(p_.arrangement, p_.identity);
    if (now.size() < 2) return;
    p_.store.upsert(makeLayout(name, now, existing ? &*existing : nullptr, this->now()));
    log(std::string("layout ") + (existing ? "replaced" : "saved") + " " + inQuotes(name) + " " +
        describeLive(now) + " indistinguishable=" + boolText(hasIndistinguishable(now)));

    if (hotKeysChanged) hotKeysChanged();
    if (reloadLayouts) reloadLayouts();
}

ApplyOutcome LayoutCommands::applyLayout(const std::string& id, std::string_view via) {
    const SavedLayout* layout = p_.store.layout(id);
    if (!layout) return ApplyOutcome::unknownLayout;
    const std::string name = layout->name;
    const auto live = readLiveDisplays(p_.arrangement, p_.identity);
    const auto plan = planLayout(*layout, live, true);
    std::string label = "layout " + inQuotes(name) + " via=" + std::string(via);
    if (!plan) {
        log(label + ": monitors differ (now " + describeLive(live) + ")");
        showNearPointer(monitorsDifferText(), 1.1);
        return ApplyOutcome::monitorsDiffer;
    }
    if (p_.alignMode.isActive()) p_.alignMode.stop();
    if (shownSuggestion && dismissSuggestion && shownSuggestion()) dismissSuggestion();
    if (plan->alreadyMatches) label += " (already in place)";
    // Also when already in place: the user asked for it, and undo should have a step.
    if (!p_.engine.applyLayout(plan->moves, label)) {
        showNearPointer(layoutRefusedText(name), 1.8);
        return ApplyOutcome::refused;
    }
    p_.store.markApplied(id, now());

    // Once the move has settled, like the engine's own messages.
    p_.scheduler.after(Config::settle + 0.05, [this, alive = std::weak_ptr<bool>(alive_), name] {
        if (alive.expired()) return;
        const std::string key = undoKeyDisplay ? undoKeyDisplay() : defaultUndo.display();
        showNearPointer(T(name + " 배치로 맞췄어요 · " + key + " 되돌리기",
                          "Switched to " + name + " · " + key + " to undo"),
                        1.8);
    });
    return ApplyOutcome::applied;
}

ApplyOutcome LayoutCommands::applyLayoutNamed(std::string_view name, std::string_view via) {
    const SavedLayout* layout = p_.store.layoutNamed(name);
    if (!layout) {
        log("layout " + inQuotes(std::string(name)) + " via=" + std::string(via) +
            ": no such layout");
        return ApplyOutcome::unknownLayout;
    }
    return applyLayout(layout->id, via);
}

void LayoutCommands::applyLayoutItem(const MenuItem& item) {
    if (item.represented) applyLayout(*item.represented, "menu");
}

void LayoutCommands::deleteLayout(const std::string& id) {
    const SavedLayout* layout = p_.store.layout(id);
    if (!layout) return;
    const std::string name = layout->name;
    p_.store.remove(id);
    layoutKeys.erase(id);
    p_.prefs.removeObject("hotkey." + layoutKeyName(id));
    if (shownSuggestion && dismissSuggestion && shownSuggestion() == id) dismissSuggestion();
    log("layout deleted " + inQuotes(name));
    if (hotKeysChanged) hotKeysChanged();
    if (reloadLayouts) reloadLayouts();
}

bool LayoutCommands::renameLayout(const std::string& id, const std::string& name) {
    const SavedLayout* layout = p_.store.layout(id);
    if (!layout) return false;
    const std::string old = layout->name;
    if (!p_.store.rename(id, name)) {
        log("layout rename refused " + inQuotes(old) + " -> " + inQuotes(name));
        return false;
    }
    const std::string now = p_.store.layout(id)->name;
    if (now != old) log("layout renamed " + inQuotes(old) + " -> " + inQuotes(now));
    return true;
}

void LayoutCommands::setAutoApply(const std::string& id, bool on) {
    p_.store.setAutoApply(id, on);
    const SavedLayout* layout = p_.store.layout(id);
    log("layout " + inQuotes(layout ? layout->name : id) + " auto-apply=" + boolText(on));
}

void LayoutCommands::loadLayoutKeys() {
    for (const SavedLayout& layout : p_.store.layouts()) {
        if (auto spec = HotKeySpec::stored(layoutKeyName(layout.id), p_.prefs)) {
            layoutKeys[layout.id] = *spec;
        } else {
            layoutKeys.erase(layout.id);
        }
    }
}

void LayoutCommands::registerLayoutHotKeys(HotKeyRegistry& registry) {
    for (const std::uint32_t id : layoutHotKeyIDs_) registry.remove(id);
    layoutHotKeyIDs_.clear();
    const auto& layouts = p_.store.layouts();
    for (std::size_t n = 0; n < layouts.size(); ++n) {
        const auto key = layoutKeys.find(layouts[n].id);
        if (key == layoutKeys.end()) continue;
        const std::uint32_t hotKeyID = HotKeyRegistry::firstLayoutID + std::uint32_t(n);
        registry.registerHotKey(key->second, hotKeyID,
                                [this, alive = std::weak_ptr<bool>(alive_), id = layouts[n].id] {
                                    if (!alive.expired()) applyLayout(id, "hotkey");
                                });
        layoutHotKeyIDs_.push_back(hotKeyID);
    }
}

}  // namespace seam
