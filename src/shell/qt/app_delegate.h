// Owns every long-lived part of the tray application and wires them together.
#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "align/align_mode.h"
#include "align/pill.h"
#include "layouts/live_display.h"
#include "shell/hot_key_registry.h"
#include "shell/hot_key_spec.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace seam {

class DisplayChangeWatcher;
class Engine;
class LayoutStore;
class SuggestionController;
class SuggestionPanel;
class X11DisplayChanges;
class X11DisplayIdentity;
class QtClock;
class QtScheduler;
class QtOverlayFactory;
class QtToastFactory;
class X11DisplayServices;
class X11HotKeys;
class X11Pointer;

class AppDelegate : public QObject {
    Q_OBJECT
  public:
    // nullptr, with the reason logged, when the X display cannot be used.
    static std::unique_ptr<AppDelegate> launch();
    ~AppDelegate() override;

    void startAlign();
    void confirmAlign(const AlignMode::Pick& a, const AlignMode::Pick& b);
    void undo();
    void applyHotKeys();
    // Layout suggestions (reason for the log: "launch", "monitors changed").
    void considerSuggestion(const std::vector<LiveDisplay>& live, const std::string& reason);
    void applyLayout(const std::string& id, const std::string& via);
    bool suggestEnabled() const;
    void toggleSuggest();

  private:
    AppDelegate();
    bool finishLaunching();
    void buildStatusMenu();
    void heartbeat();
    Point pointerLocation();
    void startSuggestions();
    std::vector<LiveDisplay> liveDisplays();

    std::unique_ptr<X11DisplayServices> services_;
    std::unique_ptr<Arrangement> arrangement_;
    std::unique_ptr<QtClock> clock_;
    std::unique_ptr<QtScheduler> scheduler_;
    std::unique_ptr<X11Pointer> pointer_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<QtOverlayFactory> overlays_;
    std::unique_ptr<AlignMode> alignMode_;
    std::unique_ptr<QtToastFactory> toasts_;
    std::unique_ptr<Pill> pill_;
    std::unique_ptr<X11HotKeys> hotKeyService_;
    std::unique_ptr<HotKeyRegistry> hotKeys_;
    HotKeySpec alignKey_ = defaultAlign;
    HotKeySpec undoKey_ = defaultUndo;

    std::unique_ptr<QMenu> menu_;
    QAction* alignMenuItem_ = nullptr;
    QAction* undoMenuItem_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> statusItem_;

    std::unique_ptr<X11DisplayIdentity> identity_;
    std::unique_ptr<LayoutStore> store_;
    std::unique_ptr<SuggestionPanel> suggestionPanel_;
    std::unique_ptr<SuggestionController> suggestions_;
    std::unique_ptr<X11DisplayChanges> displayChanges_;
    std::unique_ptr<DisplayChangeWatcher> changeWatcher_;
};

}  // namespace seam
