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
    const bool waiting = busy && busy();
    if (!missing_) {
        missing_ = true;
        log(waiting ? "tray: no tray host, so no tray icon; opening the settings window once the "
                      "screens are free"
                    : "tray: no tray host, so no tray icon; opening the settings window");
    }
    if (told_ || waiting) return;
    told_ = true;
    if (onMissing) onMissing();
}

}  // namespace seam
