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
#include <QTimer>
#include <QUrl>
#include <cstdlib>

#include "align/qt/output_overlay.h"
#include "align/qt/overlay_window.h"
#include "align/qt/toast_window.h"
#include "app/platforms.h"
#include "base/log.h"
#include "base/qt/app_icon.h"
#include "base/qt/prefs.h"
#include "base/text.h"
#include "engine/engine.h"
#include "engine/qt/edge_bar_window.h"
#include "layouts/layout_store.h"
#include "layouts/live_display.h"
#include "main/version.h"
#include "photo/photo_mode.h"
#include "photo/qt/photo_windows.h"
#include "platform/platform.h"
#include "platform/qt/qt_scheduler.h"
#include "shell/guide_view.h"
#include "shell/layout_commands.h"
#include "shell/login_item.h"
#include "shell/qt/command_bus.h"
#include "shell/qt/desktop_keys.h"
#include "shell/qt/guide_window.h"
#include "shell/qt/key_event.h"
#include "shell/qt/layout_prompts.h"
#include "shell/qt/menu_view.h"
#include "shell/qt/settings_window.h"
#include "shell/saved_layouts_menu.h"
#include "shell/sway_keys.h"
#include "shell/tray_watch.h"
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

// Photo mode's key where it is switched on: Ctrl+Alt+Super+P.
const HotKeySpec kPhotoKey{35, HotKeySpec::ctrlOptCmd, "P"};
constexpr std::uint32_t kPhotoKeyID = 3;

// The window Qt draws the tray icon in, which a tray host embeds in its panel.
std::optional<unsigned long> trayIconWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QSystemTrayIconSys") && w->testAttribute(Qt::WA_WState_Created))
            return w->winId();
    return std::nullopt;
}
}  // namespace

AppDelegate::AppDelegate(Platform& platform) : platform_(platform) {}
AppDelegate::~AppDelegate() = default;

std::unique_ptr<AppDelegate> AppDelegate::launch(Platform& platform, bool updateNow, bool photo) {
    std::unique_ptr<AppDelegate> d(new AppDelegate(platform));
    d->photoKey_ = photo;
    if (!d->finishLaunching(updateNow)) return nullptr;
    return d;
}

bool AppDelegate::finishLaunching(bool updateNow) {
    PointerServices& pointer = platform_.pointer();
    arrangement_ = std::make_unique<Arrangement>(platform_.displays());
    clock_ = std::make_unique<QtClock>();
    scheduler_ = std::make_unique<QtScheduler>();
    engine_ = std::make_unique<Engine>(*arrangement_, pointer, *clock_, *scheduler_,
                                       std::make_unique<EdgeBarWindow>(*arrangement_, *scheduler_));
    log(std::string("launch Seamwright ") + kVersion + " backend=" + std::string(platform_.name()) +
        " " + arrangement_->describe(engine_->cache()));
    if (const auto limits = limitsLine(platform_.name(), abilitiesOf(platform_))) log(*limits);

    // Stored keys are read from the settings; undecodable ones fall back.
    alignKey_ = HotKeySpec::stored("align", standardDefaults()).value_or(defaultAlign);
    undoKey_ = HotKeySpec::stored("undo", standardDefaults()).value_or(defaultUndo);

    if (platform_.placesWindows())
        overlays_ = std::make_unique<QtOverlayFactory>(
            *arrangement_, [this](unsigned long window, const Rect& root) {
                return platform_.backdrop(window, root, AlignOverlayView::kDim);
            });
    else
        overlays_ = std::make_unique<OutputOverlayFactory>(*arrangement_);
    alignMode_ = std::make_unique<AlignMode>(*arrangement_, pointer, *scheduler_, *overlays_);
    toasts_ = std::make_unique<QtToastFactory>(*arrangement_, platform_.placesWindows());
    pill_ = std::make_unique<Pill>(*arrangement_, *scheduler_, *toasts_);

    photoScreens_ = std::make_unique<QtPhotoScreens>(*arrangement_);
    photoFiles_ = std::make_unique<QtPhotoFiles>();
    photoMode_ = std::make_unique<PhotoMode>(*arrangement_, *clock_, *scheduler_, *photoScreens_,
                                             *photoFiles_);

    store_ = std::make_unique<LayoutStore>(
        prefs(), [clock = clock_.get()] { return Date::fromUnix(clock->wallTime()); });
    prompts_ = std::make_unique<QtLayoutPrompts>();
    layouts_ = std::make_unique<LayoutCommands>(LayoutCommands::Parts{
        .store = *store_,
        .arrangement = *arrangement_,
        .identity = platform_.identity(),
        .engine = *engine_,
        .alignMode = *alignMode_,
        .pill = *pill_,
        .pointer = pointer,
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
    updater_->start(*scheduler_, updateNow, platform_.wake());

    // Both gestures are switched off in this build.
    engine_->enabled = false;
    engine_->autoAlign = false;
    buildStatusMenu();

    if (PointerFeed* feed = platform_.pointerFeed()) {
        feed->onMotion = [this](Point p, double dx, double dy, bool dragging) {
            engine_->handle(p, dx, dy, dragging);
        };
        feed->onLeftPress = [this](Point p) { engine_->click(p); };
        if (!feed->start()) log("pointer events unavailable");
    }

    engineMessages_ = std::make_unique<EngineMessages>(*engine_, *pill_, pointer,
                                                       [this] { return undoKey_.display(); });

    if (HotKeyService* service = platform_.hotKeys()) {
        hotKeys_ = std::make_unique<HotKeyRegistry>(*service);
        hotKeys_->installHotKeyHandler();
        KeyWindow::hotKeys = [self](const QKeyEvent& e) {
            return self && pressHotKey(*self->hotKeys_, e);
        };
    }
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    DesktopKeys::Parts keyParts{.platform = std::string(platform_.name()),
                                .platformKeys = hotKeys_ != nullptr,
                                .gnome = [name = std::string(platform_.name()),
                                          program] { return openGnomeShortcuts(name, program); },
                                .pressed =
                                    [self](const std::vector<std::string>& args) {
                                        if (self)
                                            runKeyCommand(args, self->commandActions("hotkey"));
                                    }};
    if (const char* sway = std::getenv("SWAYSOCK"); sway && (swayIpc_ = SwayIpc::connect(sway)))
        keyParts.sway = std::make_unique<SwayKeys>(*swayIpc_, program);
    desktopKeys_ = std::make_unique<DesktopKeys>(std::move(keyParts));
    layouts_->loadLayoutKeys();
    applyHotKeys();

    alignMode_->onPicked = [self](const AlignMode::Pick& a, const AlignMode::Pick& b) {
        if (self) self->confirmAlign(a, b);
    };
    photoMode_->onResult = [self](const PhotoAlignResult& result) {
        if (self) self->confirmPhoto(result);
    };
    connectWindows();
    watchTray();

    startSuggestions();
    scheduler_->every(30, [this] { heartbeat(); });
    // Last: a command may use any part. Destroyed first, so [this] holds.
    commandBus_ = std::make_unique<CommandBus>(commandBusAddress(kBundleIdentifier),
                                               commandActions("command"));
    return true;
}

CommandActions AppDelegate::commandActions(const std::string& via) {
    return {
        .align = [this] { startAlign(); },
        .undo = [this] { undo(); },
        .applyLayout =
            [this, via](const std::string& name) { return layouts_->applyLayoutNamed(name, via); },
        .quit = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); },
    };
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
    suggestions_->isBusy = [self] {
        return self && (self->alignMode_->isActive() || self->photoMode_->isActive());
    };
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

    int status = DisplayChangeSource::unavailable;
    if (DisplayChangeSource* changes = platform_.displayChanges()) {
        changeWatcher_ = std::make_unique<DisplayChangeWatcher>(*changes, *scheduler_,
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
    return readLiveDisplays(*arrangement_, platform_.identity());
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
        const bool renamed = self && self->layouts_->renameLayout(id, name);
        // The desktop's bindings name the layout.
        if (renamed && self->desktopKeys_) self->applyHotKeys();
        return renamed;
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
        if (!recording) {
            self->applyHotKeys();
        } else {
            if (self->hotKeys_) self->hotKeys_->unregisterAllHotKeys();
            if (self->desktopKeys_) self->desktopKeys_->unbindAll();
        }
    };

    guide_ = std::make_unique<GuideWindow>(*scheduler_);
    guide_->alignKey = [self] { return self ? self->alignKey_.display() : std::string(); };
    guide_->undoKey = [self] { return self ? self->undoKey_.display() : std::string(); };
    guide_->trayShown = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
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

void AppDelegate::watchTray() {
    QPointer<AppDelegate> self(this);
    trayWatch_ = std::make_unique<TrayWatch>(
        *scheduler_, [] { return QSystemTrayIcon::isSystemTrayAvailable(); });
    // The settings window names the keys, the one way in left without a tray.
    trayWatch_->onMissing = [self] {
        if (self) self->openSettings();
    };
    trayWatch_->busy = [self] {
        return self && (QApplication::activeModalWidget() ||
                        (self->alignMode_ && self->alignMode_->isActive()) ||
                        (self->photoMode_ && self->photoMode_->isActive()));
    };
    // Once the icon is docked, the panel around it shows.
    const auto toneSoon = [self] {
        for (double seconds : {1.0, 4.0})
            self->scheduler_->after(seconds, [self] {
                if (self) self->toneTrayIcon();
            });
    };
    trayWatch_->onAppeared = [self, toneSoon] {
        if (!self) return;
        self->statusItem_->show();
        toneSoon();
    };
    trayWatch_->start();
    toneSoon();
}

void AppDelegate::toneTrayIcon() {
    TrayColourSource* tray = platform_.trayColours();
    const auto icon = trayIconWindow();
    const QColor window = QApplication::palette().color(QPalette::Window);
    const TrayIconChoice choice =
        trayIconTone(tray ? tray->hostForeground() : std::nullopt,
                     tray && icon ? panelColour(tray->pixelsAroundIcon(*icon)) : std::nullopt,
                     Rgb{window.redF(), window.greenF(), window.blueF()});
    if (choice == trayTone_) return;
    trayTone_ = choice;
    statusItem_->setIcon(trayIcon(choice.tone == IconTone::light));
    log(describe(choice));
}

void AppDelegate::openSettings() {
    settings_->show();
}

void AppDelegate::openGuide() {
    guide_->show();
}

void AppDelegate::toggleLogin() {
    LoginItemService* login = platform_.loginItem();
    const LoginToggle t = login ? flipLoginItem(*login) : LoginToggle{.failed = true};
    if (t.failed) pill_->show(loginItemFailedText(), pointerLocation(), 1.1);
    status_.loginItem().checked = t.checked;
    showMenu();
}

bool AppDelegate::loginItemEnabled() const {
    return platform_.loginItem() && platform_.loginItem()->enabled();
}

ShortcutKeys AppDelegate::shortcutKeys() {
    return {alignKey_, undoKey_, layouts_->layoutKeys};
}

void AppDelegate::buildStatusMenu() {
    status_ = seam::buildStatusMenu(&layoutsMenu_, SupportSwitch::isOn(prefs()));
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

    statusItem_ = std::make_unique<QSystemTrayIcon>();
    toneTrayIcon();
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
    layoutsMenu_ =
        savedLayoutsMenu(liveDisplays(), store_->layouts(), layouts_->layoutKeys, suggestEnabled());
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
        if (photoKey_) hotKeys_->registerHotKey(kPhotoKey, kPhotoKeyID, [this] { startPhoto(); });
    }
    if (desktopKeys_)
        desktopKeys_->bind(
            commandKeysFor(alignKey_, undoKey_, layouts_->layoutKeys, store_->layouts()));
    setHotKeyTitles(status_, alignKey_, undoKey_);
    showMenu();
}

Point AppDelegate::pointerLocation() {
    return platform_.pointer().location();
}

void AppDelegate::startAlign() {
    if (!platform_.coversOutputs()) {
        // Overlays that cannot be put on their monitors would take clicks at the wrong places.
        log("align mode unavailable: no window can cover one monitor on " +
            std::string(platform_.name()));
        pill_->show(T("이 데스크톱에서는 아직 클릭으로 맞출 수 없어요 · 저장한 배치는 쓸 수 있어요",
                      "Aligning by clicks is not available on this desktop yet · saved layouts "
                      "work"),
                    pointerLocation(), 1.8);
        return;
    }
    switch (alignMode_->start()) {
        case AlignMode::Start::started:
            return;
        case AlignMode::Start::notTwoDisplays:
            return pill_->show(T("모니터가 두 대일 때만 쓸 수 있어요",
                                 "Works when exactly two displays are connected"),
                               pointerLocation(), 1.1);
        case AlignMode::Start::uncovered:
            return pill_->show(
                T("화면을 덮을 창을 열 수 없어요", "Could not open a window over each display"),
                pointerLocation(), 1.8);
    }
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

void AppDelegate::startPhoto() {
    alignMode_->stop();
    if (!photoMode_->start())
        pill_->show(T("모니터가 두 대일 때만 쓸 수 있어요",
                      "Works when exactly two displays are connected"),
                    pointerLocation(), 1.1);
}

void AppDelegate::confirmPhoto(const PhotoAlignResult& result) {
    const std::optional<PhotoConnection> c = photoConnection(*arrangement_, result);
    if (!c) return;
    const std::unique_ptr<QMessageBox> box = photoConfirmBox(result);
    box->show();
    box->raise();
    box->activateWindow();
    box->exec();
    if (box->clickedButton() && box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole)
        engine_->connect(c->rid, c->side, c->aPos, c->oid, c->bPos, c->minOverlap);
    else
        log("photo confirm cancelled");
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
