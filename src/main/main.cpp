// Process entry: set the process-wide values, then run the one job the command
// line names, or the tray application.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "geometry/arrangement.h"
#include "layouts/display_dump.h"
#include "main/command_line.h"
#include "main/diagnostics.h"
#include "main/log.h"
#include "main/qt/prefs.h"
#include "main/text.h"
#include "main/version.h"
#include "photo/qt/photo_job.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "shell/qt/app_delegate.h"
#include "shell/qt/render_jobs.h"
#include "shell/status_menu.h"
#include "suggest/qt/suggestion_panel.h"
#include "update/qt/app_bundle.h"
#include "update/support_switch.h"

namespace {

using namespace seam;

int print(const JobResult& r) {
    for (const auto& line : r.lines) std::cout << line << '\n';
    std::cout.flush();
    return r.exitCode;
}

std::unique_ptr<X11DisplayServices> openDisplay() {
    auto services = X11DisplayServices::open();
    if (!services) std::cerr << "seamwright: cannot open the X display (is DISPLAY set?)\n";
    return services;
}

int runMoveTest() {
    auto services = openDisplay();
    if (!services) return 2;
    Arrangement arrangement(*services);
    return print(moveTest(arrangement, [](double seconds) {
        // A diagnostic run has no event loop: give the server time to settle.
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }));
}

int runDumpDisplays() {
    auto services = openDisplay();
    if (!services) return 2;
    Arrangement arrangement(*services);
    X11DisplayIdentity identity(*services);
    std::cout << dumpDisplays(arrangement, identity) << '\n';
    return 0;
}

int runRenderSuggestion(int argc, char** argv, const std::string& path) {
    // Drawing needs no screen: without one, draw off screen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return renderSuggestion(QString::fromStdString(path)) ? 0 : 1;
}

// The menu as the tray shows it before its hot keys are known, with an empty
// layouts submenu; no display is needed.
int runDumpMenu(bool support) {
    const Menu layouts;
    const StatusMenu status = buildStatusMenu(&layouts, support || SupportSwitch::isOn(prefs()));
    return print({.lines = menuTitleDump(status.menu)});
}

int runApplication(int argc, char** argv, bool updateNow) {
    // The application, not the log, makes the log's folder.
    QDir().mkpath(QFileInfo(QString::fromStdString(logPath())).absolutePath());
    QApplication app(argc, argv);
    recoverSwapAtLaunch(QCoreApplication::applicationFilePath());
    QApplication::setQuitOnLastWindowClosed(false);
    auto delegate = AppDelegate::launch(updateNow);
    if (!delegate) {
        std::cerr << "seamwright: cannot start on this display; see " << logPath() << '\n';
        return 1;
    }
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    setKorean(koreanFromEnvironment([](const char* n) { return std::getenv(n); }));
    setLogPath(defaultLogPath().toStdString());

    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Command cmd = examine(args);
    switch (cmd.job) {
        case Job::photo:
            return print(photoJob(cmd.path, cmd.preview, std::cerr));
        case Job::renderSuggestion:
            return runRenderSuggestion(argc, argv, cmd.path);
        case Job::renderGuide:
            return withWidgets(argc, argv, [&] { return renderGuideJob(cmd.path); });
        case Job::renderSettings:
            return withWidgets(argc, argv, [&] { return renderSettingsJob(cmd.path); });
        case Job::dumpMenu:
            return runDumpMenu(cmd.support);
        case Job::dumpDisplays:
            return runDumpDisplays();
        case Job::movetest:
            return runMoveTest();
        case Job::selftest:
            return print(selfTest());
        case Job::help:
            std::cout << helpText();
            return 0;
        case Job::version:
            std::cout << "Seamwright " << kVersion << '\n';
            return 0;
        case Job::app:
            return runApplication(argc, argv, cmd.updateNow);
    }
    return 0;
}
