#include "shell/qt/render_jobs.h"

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <iostream>

#include "base/qt/prefs.h"
#include "platform/qt/qt_scheduler.h"
#include "shell/qt/guide_window.h"
#include "shell/qt/settings_window.h"
#include "shell/settings_sample.h"

namespace seam {

int withWidgets(int argc, char** argv, const std::function<int()>& job) {
    QApplication app(argc, argv);
    return job();
}

int renderSettingsJob(const std::string& path) {
    const SettingsSample sample = settingsSample();
    SettingsWindow settings;
    settings.specs = [&] { return sample.specs; };
    settings.layouts = [&] { return sample.layouts; };
    if (renderPNG(settings.renderContent(), QString::fromStdString(path))) return 0;
    std::cerr << "seamwright: cannot write " << path << '\n';
    return 1;
}

int renderGuideJob(const std::string& path) {
    QtScheduler scheduler;
    GuideWindow guide(scheduler);
    guide.alignKey = [] {
        return HotKeySpec::stored("align", standardDefaults()).value_or(defaultAlign).display();
    };
    guide.undoKey = [] {
        return HotKeySpec::stored("undo", standardDefaults()).value_or(defaultUndo).display();
    };
    QWidget* window = guide.build();
    if (!window || renderPNG(window, QString::fromStdString(path))) return 0;
    std::cerr << "seamwright: cannot write " << path << '\n';
    return 1;
}

}  // namespace seam
