#include "base/qt/prefs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "platform/qt/qt_scheduler.h"
#include "qt_app.h"
#include "support/log_capture.h"

namespace seam {
namespace {

QApplication& app() {
    return testing::qtApp();
}

TEST(QSettingsStoreTest, ValuesKeepTheirTypesAcrossReopening) {
    testing::TempDir dir;
    const QString folder = QString::fromStdString(dir.path()) + "/cfg";
    const Bytes blob{0, 1, 2, 255, '"', '\n'};
    {
        QSettingsStore store(folder, "Seamwright");
        store.set("didShowGuide", SettingValue{true});
        store.set("update.lastCheck", SettingValue{812345678.25});
        store.set("count", SettingValue{std::int64_t{42}});
        store.set("support.feed", SettingValue{std::string("https://example.org/s 한글")});
        store.set("layouts.v1", SettingValue{blob});
        store.set("true.text", SettingValue{std::string("true")});
        store.set("gone", SettingValue{std::string("x")});
        store.set("gone", std::nullopt);
        store.set("removed", SettingValue{false});
        store.removeObject("removed");
        store.sync();
        EXPECT_TRUE(QFile::exists(store.fileName()));
    }
    QSettingsStore again(folder, "Seamwright");
    EXPECT_EQ(again.boolean("didShowGuide"), true);
    EXPECT_EQ(again.number("update.lastCheck"), 812345678.25);
    EXPECT_EQ(again.object("count"), (SettingValue{std::int64_t{42}}));
    EXPECT_EQ(again.string("support.feed"), "https://example.org/s 한글");
    EXPECT_EQ(again.data("layouts.v1"), blob);
    EXPECT_EQ(again.string("true.text"), "true");  // text that looks like a boolean stays text
    EXPECT_FALSE(again.boolean("true.text"));
    EXPECT_FALSE(again.object("gone"));
    EXPECT_FALSE(again.object("removed"));
    // Typed reads refuse other kinds.
    EXPECT_FALSE(again.string("layouts.v1"));
    EXPECT_FALSE(again.data("support.feed"));
}

TEST(QSettingsStoreTest, CorruptFileReadsAsEmptyWithoutCrashing) {
    testing::TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    QFile f(folder + "/Seamwright.json");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{not json");
    f.close();
    QSettingsStore store(folder, "Seamwright");
    EXPECT_FALSE(store.object("anything"));
    store.set("k", SettingValue{true});
    store.sync();
    QFile backup(folder + "/Seamwright.json.unreadable");
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), "{not json");
    backup.close();
    // A readable file opened later leaves the backup alone.
    QSettingsStore again(folder, "Seamwright");
    again.set("k", SettingValue{false});
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), "{not json");
}

TEST(QSettingsStoreTest, ChangesReachTheFileAtOnceAndKeepOtherWritersKeys) {
    testing::TempDir dir;
    const QString folder = QString::fromStdString(dir.path()) + "/cfg";
    QSettingsStore mine(folder, "Seamwright");
    QSettingsStore theirs(folder, "Seamwright");
    mine.set("a", SettingValue{std::string("1")});
    // No sync: another reader sees it, and another writer keeps it.
    EXPECT_EQ(theirs.string("a"), "1");
    theirs.set("b", SettingValue{true});
    mine.set("c", SettingValue{std::int64_t{3}});
    QSettingsStore fresh(folder, "Seamwright");
    EXPECT_EQ(fresh.string("a"), "1");
    EXPECT_EQ(fresh.boolean("b"), true);
    EXPECT_EQ(fresh.number("c"), 3);
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"Seamwright.json"});
}

TEST(QtSchedulerTest, RunsOnTheEventLoopInOrderAndCancels) {
    app();
    QtScheduler scheduler;
    QtClock clock;
    std::vector<int> ran;
    scheduler.after(0.03, [&] { ran.push_back(2); });
    scheduler.after(0.0, [&] { ran.push_back(1); });
    const auto never = scheduler.after(0.01, [&] { ran.push_back(99); });
    scheduler.cancel(never);
    int beats = 0;
    Scheduler::TaskId beat = scheduler.every(0.005, [&] {
        if (++beats == 3) scheduler.cancel(beat);
    });
    const double start = clock.uptime();
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_EQ(beats, 3);
    EXPECT_GE(clock.uptime() - start, 0.19);
    EXPECT_GT(clock.wallTime(), 1.7e9);
}

}  // namespace
}  // namespace seam
