// Process entry: set the process-wide values, then run the one job the command
// line names, or the tray application.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
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

namespace {

using namespace seam;

int print(const JobResult& r) {
    for (const auto& line : r.lines) std::cout << line << '\n';
    std::cout.flush();
    return r.exitCode;
}

int notBuiltYet(Job job) {
    std::cerr << "seamwright: " << optionName(job) << " is not available in this version yet\n";
    return 1;
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

QIcon trayIcon() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 5));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(4, 14, 30, 24), 4, 4);
    p.drawRoundedRect(QRectF(30, 26, 30, 24), 4, 4);
    return QIcon(pm);
}

int runApplication(int argc, char** argv) {
    // The application, not the log, makes the log's folder.
    QDir().mkpath(QFileInfo(QString::fromStdString(logPath())).absolutePath());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    auto services = X11DisplayServices::open();
    if (services) {
        Arrangement arrangement(*services);
        log(std::string("launch Seamwright ") + kVersion + " " +
            arrangement.describe(arrangement.displays()));
    } else {
        log(std::string("launch Seamwright ") + kVersion + " no display services");
    }
    QSystemTrayIcon tray(trayIcon());
    QMenu menu;
    QAction* quit = menu.addAction(QString::fromStdString(T("Seamwright 종료", "Quit Seamwright")));
    quit->setShortcut(QKeySequence("Ctrl+Q"));
    QObject::connect(quit, &QAction::triggered, &app, &QApplication::quit);
    tray.setContextMenu(&menu);
    tray.setToolTip("Seamwright");
    tray.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    setKorean(koreanFromEnvironment([](const char* n) { return std::getenv(n); }));
    setLogPath(defaultLogPath().toStdString());

    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Command cmd = examine(args);
    switch (cmd.job) {
        case Job::photo: return print(photoJob(cmd.path, cmd.preview, std::cerr));
        case Job::renderGuide:
        case Job::renderSuggestion:
        case Job::renderSettings:
        case Job::dumpMenu: return notBuiltYet(cmd.job);
        case Job::dumpDisplays: return runDumpDisplays();
        case Job::movetest: return runMoveTest();
        case Job::selftest: return print(selfTest());
        case Job::help: std::cout << helpText(); return 0;
        case Job::version: std::cout << "Seamwright " << kVersion << '\n'; return 0;
        case Job::app: return runApplication(argc, argv);
    }
    return 0;
}
