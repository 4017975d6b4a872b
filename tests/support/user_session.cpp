#include "support/user_session.h"

#include <gtest/gtest.h>

#include <QString>

#include <filesystem>

#include "base/qt/prefs.h"

namespace seam::testing {

namespace {
std::string describe(const ShownOutputs& outputs) {
    std::string s;
    for (const auto& [name, o] : outputs)
        s += name + " " + std::to_string(o.x) + "," + std::to_string(o.y) + " " +
             std::to_string(o.width) + "x" + std::to_string(o.height) + "\n";
    return s;
}
}  // namespace

UserSession::UserSession(std::string socket, std::string bus, std::string env)
    : socket_(std::move(socket)), bus_(std::move(bus)), env_(std::move(env)) {
    // Not a first launch: the guide would take the keyboard from the question.
    QSettingsStore settings(QString::fromStdString(configHome() + "/Seamwright"), "Seamwright");
    settings.set("didShowGuide", true);
    settings.set("updateFeed", std::string("http://127.0.0.1:9/version.json"));
    settings.sync();
}

UserSession::~UserSession() {
    if (tray_) quitTray();
}

std::string UserSession::command(const std::string& args, const std::string& more) const {
    return programOnWayland(socket_, args, bus_,
                            "HOME=" + home() + " XDG_CONFIG_HOME=" + configHome() +
                                " XDG_STATE_HOME=" + home() + " QT_QPA_PLATFORM=wayland " + env_ +
                                " " + more);
}

std::string UserSession::log() const {
    return fileText(home() + "/Seamwright/Seamwright.log");
}

bool UserSession::logShows(const std::string& text, double seconds) const {
    return waitUntil([&] { return log().find(text) != std::string::npos; }, seconds);
}

void UserSession::startTray(const std::string& more) {
    std::filesystem::remove(home() + "/Seamwright/Seamwright.log");  // of a tray before
    tray_ = startCommand(command("", more));
    ASSERT_NE(tray_, nullptr);
    ASSERT_TRUE(logShows("commands: listening")) << log();
}

void UserSession::quitTray() {
    EXPECT_EQ(run("--quit").exitCode, 0) << log();
    finishCommand(tray_);
    tray_ = nullptr;
}

void alignByTwoClicksAndReturn(UserSession& user, Desk& desk, const std::string& first,
                               const std::string& second, int secondY) {
    ASSERT_NO_FATAL_FAILURE(user.startTray());
    const auto run = user.run("--align");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    ASSERT_TRUE(user.logShows("align mode start")) << user.log();
    ShownOutputs o = desk.outputs();
    const ShownOutput a = o[first], b = o[second];
    ASSERT_TRUE(a.width > 0 && b.width > 0) << describe(o);
    // The first pick's place in the log, since a pick taken again replaces the
    // one before: the first output is the main one, whose top is 0 there.
    ASSERT_TRUE(desk.click(a.x + a.width - 20, a.y + 300, "side=right pos=300\n")) << user.log();
    ASSERT_TRUE(desk.click(b.x + 15, b.y + secondY, "align pick2 id=")) << user.log();
    const auto joined = [&] {
        o = desk.outputs();
        const ShownOutput &na = o[first], &nb = o[second];
        // The first output's right edge at height 300 meets the second's left edge.
        return nb.x == na.x + na.width && nb.y + secondY == na.y + 300;
    };
    EXPECT_TRUE(desk.pressReturn(joined)) << describe(o) << user.log();
    user.quitTray();
}

void applyLayoutByNameAndUndo(UserSession& user, Desk& desk, const std::string& second,
                              const std::string& backend) {
    const ShownOutput before = desk.outputs()[second];
    ASSERT_GT(before.width, 0);
    ASSERT_NO_FATAL_FAILURE(user.startTray());
    EXPECT_TRUE(user.logShows("backend=" + backend, 0)) << user.log();
    ShownOutputs o;
    const auto placed = [&](int x, int y) {
        return waitUntil([&] {
            o = desk.outputs();
            return o[second].x == x && o[second].y == y;
        });
    };
    auto run = user.run("--apply-layout Lower");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(before.x, before.y + 200)) << describe(o) << user.log();
    run = user.run("--undo");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(placed(before.x, before.y)) << describe(o) << user.log();
}

void moveTestMovesAndReturns(const std::string& command, const std::function<int()>& outputX) {
    const int from = outputX();
    FILE* program = startCommand(command);
    ASSERT_NE(program, nullptr);
    // The program holds the moved place for a moment; the compositor is asked until it shows.
    bool seenMoved = false;
    for (int i = 0; i < 400 && !seenMoved; ++i) seenMoved = outputX() == from + 40;
    const auto r = finishCommand(program);
    EXPECT_TRUE(seenMoved) << r.out;
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(outputX(), from);
}

}  // namespace seam::testing
