// Process entry: set the process-wide values, then run the one job the command
// line names, or the tray application.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "app/platforms.h"
#include "base/command_line.h"
#include "base/diagnostics.h"
#include "base/log.h"
#include "base/qt/prefs.h"
#include "base/qt/quit_signals.h"
#include "base/qt/theme_icon.h"
#include "base/remote_command.h"
#include "base/text.h"
#include "geometry/arrangement.h"
#include "layouts/display_dump.h"
#include "main/version.h"
#include "photo/qt/photo_job.h"
#include "platform/platform_choice.h"
#include "shell/qt/app_delegate.h"
#include "shell/qt/command_bus.h"
#include "shell/qt/render_jobs.h"
#include "shell/status_menu.h"
#include "suggest/qt/suggestion_panel.h"
#include "update/bundle_exchange.h"
#include "update/features.h"
#include "update/qt/app_bundle.h"
#include "update/support_switch.h"

namespace {

using namespace seam;

int print(const JobResult& r) {
    for (const auto& line : r.lines) std::cout << line << '\n';
    std::cout.flush();
    return r.exitCode;
}

// The backend this session offers; a refusal has been printed, in one line.
BackendChoice pickBackend() {
    BackendChoice choice = chooseBackend(probeSession(), builtBackends());
    if (const auto* refusal = std::get_if<Refusal>(&choice)) std::cerr << refusal->line << '\n';
    return choice;
}

// The platform of a job that reads or moves displays without an event loop.
std::unique_ptr<Platform> openForJob() {
    const BackendChoice choice = pickBackend();
    const auto* backend = std::get_if<Backend>(&choice);
    if (!backend) return nullptr;
    std::string why;
    auto platform = openPlatform(backend->name, {}, why);
    if (!platform) std::cerr << "seamwright: the " << backend->name << " backend: " << why << '\n';
    return platform;
}

int runMoveTest() {
    auto platform = openForJob();
    if (!platform) return 2;
    Arrangement arrangement(platform->displays());
    return print(moveTest(arrangement, [](double seconds) {
        // A diagnostic run has no event loop: give the server time to settle.
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }));
}

int runDumpDisplays() {
    auto platform = openForJob();
    if (!platform) return 2;
    Arrangement arrangement(platform->displays());
    std::cout << dumpDisplays(arrangement, platform->identity(), platform->name()) << '\n';
    return 0;
}

// Qt's platform for a job that only draws.
void prepareDrawing() {
    const char* requested = std::getenv("QT_QPA_PLATFORM");
    const auto platform = drawingPlatform(requested ? requested : "", probeSession().xDisplay);
    if (platform) qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*platform));
}

int runRenderSuggestion(int argc, char** argv, const std::string& path) {
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

// Asks the tray program that already runs; needs no display.
int runRemote(int argc, char** argv, const RemoteCall& call) {
    QCoreApplication app(argc, argv);
    const BusAddress address = commandBusAddress(kBundleIdentifier);
    const RemoteResult r = remoteResult(address, call, callRunningProgram(address, call));
    if (!r.error.empty()) std::cerr << r.error << '\n';
    std::cout.flush();
    std::cerr.flush();
    // Qt's bus thread can still be delivering while the static objects go, and
    // says so on standard error; a command has nothing else to close.
    std::_Exit(r.exitCode);
}

int runApplication(int argc, char** argv, bool updateNow) {
    // The application, not the log, makes the log's folder.
    QDir().mkpath(QFileInfo(QString::fromStdString(logPath())).absolutePath());
    const auto fail = [](const std::string& line) {
        log("launch failed: " + line.substr(line.find(' ') + 1));
        return 1;
    };
    const BackendChoice choice = pickBackend();
    if (const auto* refusal = std::get_if<Refusal>(&choice)) return fail(refusal->line);
    const auto* backend = std::get_if<Backend>(&choice);
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(backend->qtPlatform));
    QApplication app(argc, argv);
    // The session's end, a closed terminal and Ctrl+C quit as the Quit item does.
    const QuitSignals quitSignals([](int signal) {
        log("signal " + QuitSignals::name(signal) + ": quitting");
        QApplication::quit();
    });
    recoverSwapAtLaunch(QCoreApplication::applicationFilePath());
    QApplication::setQuitOnLastWindowClosed(false);
    // One tray program per session: a second start leaves the first one be. What
    // the user asked for holds, so that is no failure.
    if (claimCommandBus(commandBusAddress(kBundleIdentifier)).claim == BusClaim::taken) {
        std::cout << kAlreadyRunningLine << '\n';
        return 0;
    }
    // Lets the desktop match our windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kBundleIdentifier));
    QApplication::setWindowIcon(themedApplicationIcon());
#ifdef SEAM_PHOTO_ON
    constexpr bool photo = true;  // the test build, where photo mode is reachable
#else
    constexpr bool photo = Features::photo;
#endif
    std::string why;
    auto platform = openPlatform(
        backend->name,
        {.tray = true, .program = QCoreApplication::applicationFilePath().toStdString()}, why);
    if (!platform) {
        const std::string line = "seamwright: the " + backend->name + " backend: " + why;
        std::cerr << line << '\n';
        return fail(line);
    }
    auto delegate = AppDelegate::launch(*platform, updateNow, photo);
    if (!delegate) {
        std::cerr << "seamwright: cannot start on this display; see " << logPath() << '\n';
        return 1;
    }
    const int status = QApplication::exec();
    // What runs at quit (our desktop shortcuts removed, the bus name given back)
    // runs before the line that says the program quit.
    delegate.reset();
    platform.reset();
    log("quit");
    return status;
}

// The swap script's one atomic step, run from the new bundle's program.
int runExchange(const std::string& a, const std::string& b) {
    std::string why;
    const Exchange e = exchangeFolders(a, b, why);
    if (e != Exchange::done) std::cerr << why << '\n';
    return exchangeExitStatus(e);
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
            prepareDrawing();
            return runRenderSuggestion(argc, argv, cmd.path);
        case Job::renderGuide:
            prepareDrawing();
            return withWidgets(argc, argv, [&] { return renderGuideJob(cmd.path); });
        case Job::renderSettings:
            prepareDrawing();
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
        case Job::align:
        case Job::undo:
        case Job::applyLayout:
        case Job::quit:
            return runRemote(argc, argv, *remoteCall(cmd));
        case Job::app:
            return runApplication(argc, argv, cmd.updateNow);
        case Job::exchangeBundles:
            return runExchange(cmd.path, cmd.otherPath);
    }
    return 0;
}
