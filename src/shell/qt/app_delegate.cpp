#include "shell/qt/app_delegate.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QUrl>
#include <cstdlib>

#include "align/qt/overlay_window.h"
#include "align/qt/toast_window.h"
#include "engine/engine.h"
#include "engine/qt/edge_bar_window.h"
#include "layouts/layout_store.h"
#include "layouts/live_display.h"
#include "main/log.h"
#include "main/qt/app_icon.h"
#include "main/qt/prefs.h"
#include "main/text.h"
#include "main/version.h"
#include "platform/qt/qt_scheduler.h"
#include "platform/qt/qt_screen_scaling.h"
#include "platform/x11/x11_backdrop.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_changes.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "platform/x11/x11_hot_keys.h"
#include "platform/x11/x11_pointer.h"
#include "platform/x11/x11_window_placement.h"
#include "shell/guide_view.h"
#include "shell/layout_commands.h"
#include "shell/login_item.h"
#include "shell/qt/guide_window.h"
#include "shell/qt/layout_prompts.h"
#include "shell/qt/menu_view.h"
#include "shell/qt/settings_window.h"
#include "shell/saved_layouts_menu.h"
#include "suggest/display_change_gate.h"
#include "suggest/qt/suggestion_panel.h"
#include "suggest/suggestion_controller.h"
#include "update/features.h"
#include "update/qt/update_alerts.h"
#include "update/qt/updater.h"
#include "update/support_switch.h"

namespace seam {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

AppDelegate::AppDelegate() = default;
AppDelegate::~AppDelegate() = default;

std::unique_ptr<AppDelegate> AppDelegate::launch(bool updateNow) {
    std::unique_ptr<AppDelegate> d(new AppDelegate);
    if (!d->finishLaunching(updateNow)) return nullptr;
    return d;
}

bool AppDelegate::finishLaunching(bool updateNow) {
    services_ = X11DisplayServices::open();
    if (!services_) {
        log("launch failed: the X display or its RandR extension is not available");
        return false;
    }
    // Exact window placement where Qt's units fall short.
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        setNativePlacer([c = x11->connection()](unsigned long w, const Rect& r) {
            placeWindowExactly(c, w, r);
        });
    identity_ = std::make_unique<X11DisplayIdentity>(*services_);
    arrangement_ = std::make_unique<Arrangement>(*services_);
    clock_ = std::make_unique<QtClock>();
    scheduler_ = std::make_unique<QtScheduler>();
    pointer_ = X11Pointer::open(services_->connection(), *services_);
    if (!pointer_) {
        log("launch failed: the X server has no XInput 2.2 for pointer events");
        return false;
    }
    engine_ = std::make_unique<Engine>(*arrangement_, *pointer_, *clock_, *scheduler_,
                                       std::make_unique<EdgeBarWindow>(*arrangement_, *scheduler_));
    log(std::string("launch Seamwright ") + kVersion + " " +
        arrangement_->describe(engine_->cache()));

    // Stored keys are read from the settings; undecodable ones fall back.
    alignKey_ = HotKeySpec::stored("align", standardDefaults()).value_or(defaultAlign);
    undoKey_ = HotKeySpec::stored("undo", standardDefaults()).value_or(defaultUndo);

    overlays_ = std::make_unique<QtOverlayFactory>(
        *arrangement_,
        [weak = std::weak_ptr(services_->connection())](unsigned long w, const Rect& r) {
            const auto c = weak.lock();
            return c ? makeX11Backdrop(c, w, r, AlignOverlayView::kDim) : nullptr;
        });
    alignMode_ = std::make_unique<AlignMode>(*arrangement_, *pointer_, *scheduler_, *overlays_);
    toasts_ = std::make_unique<QtToastFactory>(*arrangement_);
    pill_ = std::make_unique<Pill>(*arrangement_, *scheduler_, *toasts_);

    store_ = std::make_unique<LayoutStore>(
        prefs(), [clock = clock_.get()] { return Date::fromUnix(clock->wallTime()); });
    prompts_ = std::make_unique<QtLayoutPrompts>();
    layouts_ = std::make_unique<LayoutCommands>(LayoutCommands::Parts{
        .store = *store_,
        .arrangement = *arrangement_,
        .identity = *identity_,
        .engine = *engine_,
        .alignMode = *alignMode_,
        .pill = *pill_,
        .pointer = *pointer_,
        .scheduler = *scheduler_,
        .clock = *clock_,
        .prefs = prefs(),
        .prompts = *prompts_,
    });
    QPointer<AppDelegate> self(this);
    layouts_->hotKeysChanged = [self] {
        if (self) self->applyHotKeys();
    };
    layouts_->undoKeyDisplay = [self] { return self ? self->undoKey_.display() : std::string(); };

    updateAlerts_ = std::make_unique<QtUpdateAlerts>();
    UpdaterSetup setup = applicationSetup(prefs(), *clock_, *updateAlerts_);
    setup.supportChanged = [self] {
        if (self) self->supportChanged();
    };
    updater_ = std::make_unique<Updater>(std::move(setup));
    updater_->start(*scheduler_, updateNow);

    // Both gestures are switched off in this build.
    engine_->enabled = false;
    engine_->autoAlign = false;
    buildStatusMenu();

    pointer_->onMotion = [this](Point p, double dx, double dy, bool dragging) {
        engine_->handle(p, dx, dy, dragging);
    };
    pointer_->onLeftPress = [this](Point p) { engine_->click(p); };
    if (!pointer_->start()) log("pointer events unavailable");

    engineMessages_ = std::make_unique<EngineMessages>(*engine_, *pill_, *pointer_,
                                                       [this] { return undoKey_.display(); });

    hotKeyService_ = X11HotKeys::open();
    if (hotKeyService_) {
        hotKeys_ = std::make_unique<HotKeyRegistry>(*hotKeyService_);
        hotKeys_->installHotKeyHandler();
    }
    layouts_->loadLayoutKeys();
    applyHotKeys();

    alignMode_->onPicked = [self](const AlignMode::Pick& a, const AlignMode::Pick& b) {
        if (self) self->confirmAlign(a, b);
    };
    connectWindows();

    startSuggestions();
    scheduler_->every(30, [this] { heartbeat(); });
    return true;
}

void AppDelegate::startSuggestions() {
    QPointer<AppDelegate> self(this);
    suggestionPanel_ = std::make_unique<SuggestionPanel>(*scheduler_);
    suggestionPanel_->anchor = [self]() -> std::optional<QRect> {
        if (!self || !self->statusItem_ || self->statusItem_->geometry().isEmpty()) return {};
        return self->statusItem_->geometry();
    };
    suggestions_ = std::make_unique<SuggestionController>(*store_, prefs(), *suggestionPanel_);
    suggestionPanel_->onAnswer = [self](const std::string& id, bool apply, bool always) {
        if (self) self->suggestions_->answer(id, apply, always);
    };
    suggestions_->isBusy = [self] { return self && self->alignMode_->isActive(); };
    suggestions_->applyLayout = [self](const std::string& id, const std::string& via) {
        if (self) self->applyLayout(id, via);
    };
    layouts_->shownSuggestion = [self]() -> std::optional<std::string> {
        if (!self || !self->suggestionPanel_->isShowing()) return std::nullopt;
        return self->suggestionPanel_->layoutID();
    };
    layouts_->dismissSuggestion = [self] {
        if (self) self->suggestionPanel_->dismiss();
    };

    int status = X11DisplayChanges::registrationFailed;
    if ((displayChanges_ = X11DisplayChanges::open())) {
        changeWatcher_ = std::make_unique<DisplayChangeWatcher>(*displayChanges_, *scheduler_,
                                                                [this] { return liveDisplays(); });
        changeWatcher_->onChanged = [self](const std::vector<LiveDisplay>& live) {
            if (self) self->considerSuggestion(live, "monitors changed");
        };
        changeWatcher_->onReconfigured = [self] {
            if (self) self->engine_->screensChanged();
        };
        status = changeWatcher_->start();
    }
    log("layouts: " + std::to_string(store_->layouts().size()) +
        " saved, suggest=" + (suggestEnabled() ? "true" : "false") + ", reconfig callback=" +
        (status == 0 ? std::string("ok") : "err " + std::to_string(status)));
    scheduler_->after(2.0, [self] {
        if (self) self->considerSuggestion(self->liveDisplays(), "launch");
    });
}

std::vector<LiveDisplay> AppDelegate::liveDisplays() {
    return readLiveDisplays(*arrangement_, *identity_);
}

void AppDelegate::considerSuggestion(const std::vector<LiveDisplay>& live,
                                     const std::string& reason) {
    suggestions_->considerSuggestion(live, reason);
}

void AppDelegate::applyLayout(const std::string& id, const std::string& via) {
    layouts_->applyLayout(id, via);
}

void AppDelegate::connectWindows() {
    QPointer<AppDelegate> self(this);
    settings_ = std::make_unique<SettingsWindow>();
    settings_->specs = [self] { return self ? self->shortcutKeys().specs() : KeySpecs{}; };
    settings_->layouts = [self] {
        return self ? self->store_->layouts() : std::vector<SavedLayout>{};
    };
    settings_->onChange = [self](const std::string& id, const HotKeySpec& spec) {
        if (!self) return;
        self->shortcutKeys().change(id, spec, standardDefaults(), prefs());
        self->applyHotKeys();
    };
    settings_->onClear = [self](const std::string& id) {
        if (self && self->shortcutKeys().clear(id, prefs())) self->applyHotKeys();
    };
    settings_->onRename = [self](const std::string& id, const std::string& name) {
        return self && self->layouts_->renameLayout(id, name);
    };
    settings_->onDelete = [self](const std::string& id) {
        if (self) self->layouts_->deleteLayout(id);
    };
    settings_->onAutoApply = [self](const std::string& id, bool on) {
        if (self) self->layouts_->setAutoApply(id, on);
    };
    layouts_->reloadLayouts = [self] {
        if (self) self->settings_->reloadLayouts();
    };
    settings_->onRecordingChanged = [self](bool recording) {
        if (!self) return;
        // While recording, the pressed keys must reach the window, not fire.
        if (!recording)
            self->applyHotKeys();
        else if (self->hotKeys_)
            self->hotKeys_->unregisterAllHotKeys();
    };

    guide_ = std::make_unique<GuideWindow>(*scheduler_);
    guide_->alignKey = [self] { return self ? self->alignKey_.display() : std::string(); };
    guide_->undoKey = [self] { return self ? self->undoKey_.display() : std::string(); };
    guide_->onTry = [self] {
        if (self) self->startAlign();
    };
    guide_->onShortcuts = [self] {
        if (self) self->openSettings();
    };

    guide_view::showOnFirstRun(standardDefaults(), *scheduler_, [self] {
        if (self) self->openGuide();
    });
}

void AppDelegate::openSettings() {
    settings_->show();
}

void AppDelegate::openGuide() {
    guide_->show();
}

void AppDelegate::toggleLogin() {
    const LoginToggle t = flipLoginItem(*loginService_);
    if (t.failed) pill_->show(loginItemFailedText(), pointerLocation(), 1.1);
    status_.loginItem().checked = t.checked;
    showMenu();
}

bool AppDelegate::loginItemEnabled() const {
    return loginService_ && loginService_->enabled();
}

ShortcutKeys AppDelegate::shortcutKeys() {
    return {alignKey_, undoKey_, layouts_->layoutKeys};
}

void AppDelegate::buildStatusMenu() {
    status_ = seam::buildStatusMenu(&layoutsMenu_, SupportSwitch::isOn(prefs()));
    loginService_ = std::make_unique<AutostartLoginItem>(
        autostartEntryPath([](const char* n) { return std::getenv(n); }),
        QCoreApplication::applicationFilePath().toStdString());
    status_.loginItem().checked = loginItemEnabled();
    menu_ = std::make_unique<QMenu>();
    layoutsQMenu_ = new QMenu(menu_.get());
    const auto perform = [this](const MenuItem& item) { this->perform(item); };
    layoutsView_ = new MenuView(*layoutsQMenu_, perform);
    menuView_ = new MenuView(*menu_, perform, [this](const Menu* m) {
        return m == &layoutsMenu_ ? layoutsQMenu_ : nullptr;
    });
    connect(layoutsQMenu_, &QMenu::aboutToShow, this, [this] { menuNeedsUpdate(); });
    showMenu();

    statusItem_ = std::make_unique<QSystemTrayIcon>(applicationIcon());
    statusItem_->setToolTip("Seamwright");
    statusItem_->setContextMenu(menu_.get());
    // A left click opens the same menu: the icon has nothing else to do.
    connect(statusItem_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
            });
    statusItem_->show();
}

void AppDelegate::showMenu() {
    menuView_->show(status_.menu);
}

void AppDelegate::perform(const MenuItem& item) {
    switch (item.command) {
        case MenuCommand::startAlign:
            return startAlign();
        case MenuCommand::undo:
            return undo();
        case MenuCommand::openSettings:
            return openSettings();
        case MenuCommand::openGuide:
            return openGuide();
        case MenuCommand::checkUpdates:
            return checkUpdates();
        case MenuCommand::toggleLogin:
            return toggleLogin();
        case MenuCommand::toggle:
            return toggle();
        case MenuCommand::toggleAlign:
            return toggleAlign();
        case MenuCommand::openSupport:
            return openSupport();
        case MenuCommand::saveLayout:
            return saveLayout();
        case MenuCommand::applyLayoutItem:
            return applyLayoutItem(item);
        case MenuCommand::toggleSuggest:
            return toggleSuggest();
        case MenuCommand::manageLayouts:
            return manageLayouts();
        case MenuCommand::none:
        case MenuCommand::terminate:
            return;
    }
}

void AppDelegate::menuNeedsUpdate() {
    layoutsMenu_ = savedLayoutsMenu(readLiveDisplays(*arrangement_, *identity_), store_->layouts(),
                                    layouts_->layoutKeys, suggestEnabled());
    layoutsView_->show(layoutsMenu_);
}

void AppDelegate::supportChanged() {
    replaceSupportAndQuit(status_.menu, isKorean(), SupportSwitch::isOn(prefs()));
    showMenu();
}

void AppDelegate::applyHotKeys() {
    if (hotKeys_) {
        hotKeys_->registerHotKey(undoKey_, HotKeyRegistry::undoID, [this] { undo(); });
        hotKeys_->registerHotKey(alignKey_, HotKeyRegistry::alignID, [this] { startAlign(); });
        layouts_->registerLayoutHotKeys(*hotKeys_);
    }
    setHotKeyTitles(status_, alignKey_, undoKey_);
    showMenu();
}

Point AppDelegate::pointerLocation() {
    return pointer_->location();
}

void AppDelegate::startAlign() {
    if (!alignMode_->start())
        pill_->show(T("모니터가 두 대일 때만 쓸 수 있어요",
                      "Works when exactly two displays are connected"),
                    pointerLocation(), 1.1);
}

void AppDelegate::confirmAlign(const AlignMode::Pick& a, const AlignMode::Pick& b) {
    const ConfirmTexts t = confirmTexts(*arrangement_, a, b);
    QMessageBox box;
    box.setWindowTitle("Seamwright");
    box.setText(qs(t.message));
    box.setInformativeText(qs(t.informative));
    QPushButton* confirm = box.addButton(qs(t.confirm), QMessageBox::AcceptRole);
    box.addButton(qs(t.cancel), QMessageBox::RejectRole);
    box.setDefaultButton(confirm);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    // Shown and activated before the modal loop: with no window manager nothing
    // else gives it the keyboard, and Return should answer it at once.
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    if (box.clickedButton() == confirm) {
        engine_->connect(a.id, a.side, a.pos, b.id, b.pos, 40);
    } else {
        log("align confirm cancelled");
    }
}

void AppDelegate::undo() {
    engineMessages_->undo();
}

void AppDelegate::checkUpdates() {
    updater_->check(true);
}

void AppDelegate::toggle() {
    engine_->enabled = !engine_->enabled;
    status_.edgeTap.checked = engine_->enabled;
    pill_->show(engine_->enabled ? "톡톡 켜짐" : "톡톡 꺼짐", pointerLocation(), 1.1);
}

void AppDelegate::toggleAlign() {
    engine_->autoAlign = !engine_->autoAlign;
    status_.autoAlign.checked = engine_->autoAlign;
}

void AppDelegate::openSupport() {
    const QUrl url(qs(Features::supportURL()), QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty()) QDesktopServices::openUrl(url);
}

void AppDelegate::saveLayout() {
    layouts_->saveLayout();
}

void AppDelegate::applyLayoutItem(const MenuItem& item) {
    layouts_->applyLayoutItem(item);
}

void AppDelegate::manageLayouts() {
    openSettings();
}

bool AppDelegate::suggestEnabled() const {
    return suggestions_->suggestEnabled();
}

void AppDelegate::toggleSuggest() {
    suggestions_->toggleSuggest();
}

void AppDelegate::heartbeat() {
    const long long n = engine_->events();
    if (n < 1) return;
    log("heartbeat events=" + std::to_string(n));
    engine_->resetEvents();
}

}  // namespace seam
