// The settings file as a launch reads it: whatever the file holds, opening it
// and reading every key the program reads must not fault, and a file that
// cannot be read is kept whole as the backup before anything replaces it.
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/qt/prefs.h"
#include "layouts/layout_store.h"
#include "shell/hot_key_spec.h"
#include "update/support_switch.h"
#include "update/update_check.h"

namespace {

QString scratch() {
    static const QString folder = [] {
        const QString f = QDir::tempPath() + "/fuzz-settings-" + QString::number(::getpid());
        QDir().mkpath(f);
        return f;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace seam;
    const QString folder = scratch();
    const QString file = folder + "/Seamwright.json";
    QFile::remove(file + ".unreadable");
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        out.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QSettingsStore store(folder, "Seamwright");
    LayoutStore layouts(store, [] { return Date{0}; });
    (void)HotKeySpec::stored("align", store);
    (void)HotKeySpec::stored("undo", store);
    for (const auto& l : layouts.layouts()) (void)HotKeySpec::stored("layout." + l.id, store);
    (void)SupportSwitch::isOn(store);
    (void)UpdateSchedule::last(store);
    (void)update::feedAddress(store);
    (void)store.boolean("layouts.suggest");
    (void)store.boolean("didShowGuide");
    // The next change replaces the file; an unreadable one must survive whole.
    store.set("fuzz", SettingValue{true});
    QFile backup(file + ".unreadable");
    if (backup.exists()) {
        if (!backup.open(QIODevice::ReadOnly)) std::abort();
        if (backup.readAll() != QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))
            std::abort();
    }
    QSettingsStore again(folder, "Seamwright");
    if (again.boolean("fuzz") != true) std::abort();
    return 0;
}
