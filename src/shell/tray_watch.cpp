#include "shell/tray_watch.h"

#include "base/log.h"

namespace seam {

void TrayWatch::start() {
    if (available_()) return;
    task_ = scheduler_.after(grace, [this] {
        look();
        if (missing_) task_ = scheduler_.every(poll, [this] { look(); });
    });
}

void TrayWatch::look() {
    if (available_()) {
        scheduler_.cancel(task_);
        task_ = 0;
        if (!missing_) return;
        log("tray: a tray host appeared");
        if (onAppeared) onAppeared();
        return;
    }
    if (missing_) return;
    missing_ = true;
    log("tray: no tray host, so no tray icon; opening the settings window");
    if (onMissing) onMissing();
}

}  // namespace seam
