#include "shell/qt/app_delegate.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>

#include "align/qt/overlay_window.h"
#include "align/qt/toast_window.h"
#include "engine/engine.h"
#include "engine/qt/edge_bar_window.h"
#include "layouts/layout_plan.h"
#include "layouts/layout_store.h"
#include "main/log.h"
#include "main/qt/app_icon.h"
#include "main/qt/prefs.h"
#include "main/text.h"
#include "main/version.h"
#include "platform/qt/qt_scheduler.h"
#include "platform/x11/x11_display_changes.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "platform/x11/x11_hot_keys.h"
#include "platform/x11/x11_pointer.h"
#include "suggest/display_change_gate.h"
#include "suggest/qt/suggestion_panel.h"
#include "suggest/suggestion_controller.h"

namespace seam {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string arrowOf(Side s) {
    return std::string(arrow(s));
}
}  // namespace

AppDelegate::AppDelegate() = default;
AppDelegate::~AppDelegate() = default;

std::unique_ptr<AppDelegate> AppDelegate::launch() {
    std::unique_ptr<AppDelegate> d(new AppDelegate);
    if (!d->finishLaunching()) return nullptr;
    return d;
}

bool AppDelegate::finishLaunching() {
    services_ = X11DisplayServices::open();
    if (!services_) {
        log("launch failed: the X display or its RandR extension is not available");
        return false;
    }
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
    alignKey_ = HotKeySpec::stored("align", prefs()).value_or(defaultAlign);
    undoKey_ = HotKeySpec::stored("undo", prefs()).value_or(defaultUndo);

    buildStatusMenu();
    // Both gestures are switched off in this build.
    engine_->enabled = false;
    engine_->autoAlign = false;

    pointer_->onMotion = [this](Point p, double dx, double dy, bool dragging) {
        engine_->handle(p, dx, dy, dragging);
    };
    pointer_->onLeftPress = [this](Point p) { engine_->click(p); };
    if (!pointer_->start()) log("pointer events unavailable");

    hotKeyService_ = X11HotKeys::open();
    if (hotKeyService_) {
        hotKeys_ = std::make_unique<HotKeyRegistry>(*hotKeyService_);
        hotKeys_->installHotKeyHandler();
    }
    applyHotKeys();

    engine_->onMoved = [this](Side side, Point p) {
        pill_->show(T(arrowOf(side) + " 정렬했어요 · " + undoKey_.display() + " 되돌리기",
                      arrowOf(side) + " Aligned · " + undoKey_.display() + " to undo"),
                    p, 1.1);
    };
    engine_->onAligned = [this](double amount, bool horizontal, Point p) {
        const char* a = horizontal ? (amount > 0 ? "→" : "←") : (amount > 0 ? "↓" : "↑");
        pill_->show(std::string(a) + " 살짝 맞춤 · " + undoKey_.display() + " 되돌리기", p, 0.9);
    };

    overlays_ = std::make_unique<QtOverlayFactory>(*arrangement_);
    alignMode_ = std::make_unique<AlignMode>(*arrangement_, *pointer_, *scheduler_, *overlays_);
    toasts_ = std::make_unique<QtToastFactory>(*arrangement_);
    pill_ = std::make_unique<Pill>(*arrangement_, *scheduler_, *toasts_);
    QPointer<AppDelegate> self(this);
    alignMode_->onPicked = [self](const AlignMode::Pick& a, const AlignMode::Pick& b) {
        if (self) self->confirmAlign(a, b);
    };

    startSuggestions();
    scheduler_->every(30, [this] { heartbeat(); });
    return true;
}

void AppDelegate::startSuggestions() {
    QPointer<AppDelegate> self(this);
    identity_ = std::make_unique<X11DisplayIdentity>(*services_);
    store_ = std::make_unique<LayoutStore>(prefs(),
                                           [this] { return Date::fromUnix(clock_->wallTime()); });
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

    int status = X11DisplayChanges::registrationFailed;
    if ((displayChanges_ = X11DisplayChanges::open())) {
        changeWatcher_ = std::make_unique<DisplayChangeWatcher>(*displayChanges_, *scheduler_,
                                                                [this] { return liveDisplays(); });
        changeWatcher_->onChanged = [self](const std::vector<LiveDisplay>& live) {
            if (self) self->considerSuggestion(live, "monitors changed");
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

bool AppDelegate::suggestEnabled() const {
    return suggestions_->suggestEnabled();
}

void AppDelegate::toggleSuggest() {
    suggestions_->toggleSuggest();
}

// Stands in until the layout commands arrive: plan and apply, nothing more.
void AppDelegate::applyLayout(const std::string& id, const std::string& via) {
    const SavedLayout* layout = store_->layout(id);
    if (!layout) return;
    const std::string name = layout->name;
    const auto live = liveDisplays();
    const auto plan = planLayout(*layout, live, true);
    if (!plan) {
        log("layout \"" + name + "\" via=" + via + ": monitors differ (now " + describeLive(live) +
            ")");
        return;
    }
    if (alignMode_->isActive()) alignMode_->stop();
    suggestionPanel_->dismiss();
    engine_->applyLayout(plan->moves, "layout \"" + name + "\" via=" + via +
                                          (plan->alreadyMatches ? " (already in place)" : ""));
    store_->markApplied(id);
}

void AppDelegate::buildStatusMenu() {
    menu_ = std::make_unique<QMenu>();
    alignMenuItem_ = menu_->addAction(QString());
    connect(alignMenuItem_, &QAction::triggered, this, [this] { startAlign(); });
    undoMenuItem_ = menu_->addAction(QString());
    connect(undoMenuItem_, &QAction::triggered, this, [this] { undo(); });
    menu_->addSeparator();
    QAction* quit = menu_->addAction(qs(T("Seamwright 종료", "Quit Seamwright")));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QApplication::quit);

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

void AppDelegate::applyHotKeys() {
    if (hotKeys_) {
        hotKeys_->registerHotKey(undoKey_, HotKeyRegistry::undoID, [this] { undo(); });
        hotKeys_->registerHotKey(alignKey_, HotKeyRegistry::alignID, [this] { startAlign(); });
    }
    alignMenuItem_->setText(
        qs(T("모니터 정렬하기…", "Align Monitors…") + "   " + alignKey_.display()));
    undoMenuItem_->setText(qs(T("되돌리기", "Undo") + "   " + undoKey_.display()));
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
    const bool undone = engine_->undo();
    pill_->show(undone ? T("원래 배치로 되돌림", "Restored the previous layout")
                       : T("되돌릴 게 없어요", "Nothing to undo"),
                pointerLocation(), 1.1);
}

void AppDelegate::heartbeat() {
    const long long n = engine_->events();
    if (n < 1) return;
    log("heartbeat events=" + std::to_string(n));
    engine_->resetEvents();
}

}  // namespace seam
