// Owns every long-lived part of the tray application and wires them together.
#pragma once

#include <QObject>
#include <memory>

#include "align/align_mode.h"
#include "align/pill.h"
#include "layouts/live_display.h"
#include "photo/photo_aligner.h"
#include "shell/engine_messages.h"
#include "shell/hot_key_registry.h"
#include "shell/hot_key_spec.h"
#include "shell/menu.h"
#include "shell/shortcut_keys.h"
#include "shell/status_menu.h"
#include "shell/tray_icon_tone.h"

class QMenu;
class QSystemTrayIcon;

namespace seam {

class CommandBus;
class DisplayChangeWatcher;
class Engine;
class GuideWindow;
class LayoutCommands;
class LayoutStore;
class LoginItemService;
class MenuView;
class Platform;
class SettingsWindow;
class TrayWatch;
class QtClock;
class SuggestionController;
class SuggestionPanel;
class SwayIpc;
class DesktopKeys;
struct CommandActions;
class QtLayoutPrompts;
class QtScheduler;
class OverlayFactory;
class PhotoMode;
class QtPhotoFiles;
class QtPhotoScreens;
class QtToastFactory;
class QtUpdateAlerts;
class Updater;

class AppDelegate : public QObject {
    Q_OBJECT
  public:
    // platform: the display system, opened for the tray; it outlives the delegate.
    // updateNow: "--update-now" was given, check at once and install without asking.
    // photo: photo mode is reachable (a hot key), as Features::photo says in this build.
    static std::unique_ptr<AppDelegate> launch(Platform& platform, bool updateNow = false,
                                               bool photo = false);
    ~AppDelegate() override;

    // Menu commands.
    void startAlign();
    void confirmAlign(const AlignMode::Pick& a, const AlignMode::Pick& b);
    void startPhoto();
    void confirmPhoto(const PhotoAlignResult& result);
    void undo();
    void openSettings();
    void openGuide();
    void checkUpdates();
    void toggleLogin();
    void toggle();
    void toggleAlign();
    void openSupport();
    void saveLayout();
    void applyLayoutItem(const MenuItem& item);
    void toggleSuggest();
    void manageLayouts();

    // Registers the current keys and puts them into the menu titles.
    void applyHotKeys();
    // The saved-layouts submenu, about to open, is made afresh.
    void menuNeedsUpdate();
    // Suggestions of a saved layout when the monitors change.
    bool suggestEnabled() const;
    // reason is for the log: "launch", "monitors changed".
    void considerSuggestion(const std::vector<LiveDisplay>& live, const std::string& reason);
    // via names the caller in the log: "menu", "hotkey", "suggestion", "auto".
    void applyLayout(const std::string& id, const std::string& via);

  private:
    explicit AppDelegate(Platform& platform);
    bool finishLaunching(bool updateNow);
    void buildStatusMenu();
    void perform(const MenuItem& item);
    void showMenu();
    void supportChanged();
    void heartbeat();
    void connectWindows();
    void watchTray();
    void toneTrayIcon();
    ShortcutKeys shortcutKeys();
    // What commands from outside and desktop hot keys run; via names them in the log.
    CommandActions commandActions(const std::string& via);
    bool loginItemEnabled() const;
    void startSuggestions();
    std::vector<LiveDisplay> liveDisplays();
    Point pointerLocation();

    Platform& platform_;
    std::unique_ptr<Arrangement> arrangement_;
    std::unique_ptr<QtClock> clock_;
    std::unique_ptr<QtScheduler> scheduler_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<OverlayFactory> overlays_;
    std::unique_ptr<AlignMode> alignMode_;
    std::unique_ptr<QtToastFactory> toasts_;
    std::unique_ptr<Pill> pill_;
    std::unique_ptr<EngineMessages> engineMessages_;
    std::unique_ptr<LayoutStore> store_;
    std::unique_ptr<QtLayoutPrompts> prompts_;
    std::unique_ptr<LayoutCommands> layouts_;
    std::unique_ptr<QtUpdateAlerts> updateAlerts_;
    std::unique_ptr<Updater> updater_;
    std::unique_ptr<HotKeyRegistry> hotKeys_;
    // On sway the keys are also its own bindings, which run our commands.
    std::unique_ptr<SwayIpc> swayIpc_;
    std::unique_ptr<DesktopKeys> desktopKeys_;
    HotKeySpec alignKey_ = defaultAlign;
    HotKeySpec undoKey_ = defaultUndo;
    std::unique_ptr<SettingsWindow> settings_;
    std::unique_ptr<GuideWindow> guide_;

    // Photo mode.
    std::unique_ptr<QtPhotoScreens> photoScreens_;
    std::unique_ptr<QtPhotoFiles> photoFiles_;
    std::unique_ptr<PhotoMode> photoMode_;
    bool photoKey_ = false;

    StatusMenu status_;
    Menu layoutsMenu_;
    std::unique_ptr<QMenu> menu_;
    QMenu* layoutsQMenu_ = nullptr;  // owned by menu_
    MenuView* menuView_ = nullptr;
    MenuView* layoutsView_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
    std::unique_ptr<TrayWatch> trayWatch_;
    std::optional<TrayIconChoice> trayTone_;

    std::unique_ptr<SuggestionPanel> suggestionPanel_;
    std::unique_ptr<SuggestionController> suggestions_;
    std::unique_ptr<DisplayChangeWatcher> changeWatcher_;
    std::unique_ptr<CommandBus> commandBus_;
};

}  // namespace seam
