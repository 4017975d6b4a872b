// The preferences store over QSettings, and the other Qt-side process facilities.
#pragma once

#include <QJsonObject>
#include <QString>
#include <memory>

#include "base/settings_store.h"

class QWidget;

namespace seam {

// A JSON settings file that keeps value types (booleans, numbers, text, bytes)
// across restarts. Every change is written through at once and replaces the file
// atomically, so a kill or a power cut leaves the state before or after it.
class QSettingsStore : public SettingsStore {
  public:
    // The file <folder>/<name>.json; the folder is created on first write.
    QSettingsStore(const QString& folder, const QString& name);
    ~QSettingsStore() override;

    std::optional<SettingValue> object(const std::string& key) const override;
    void set(const std::string& key, std::optional<SettingValue> value) override;
    void removeObject(const std::string& key) override;

    QString fileName() const;
    // Changes are on the disk when set() returns; kept for callers that say so.
    void sync();

  private:
    struct Stamp {
        bool exists = false;
        unsigned long long inode = 0;
        long long size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stampNow() const;
    void refresh() const;
    void write();

    QString folder_;
    QString path_;
    mutable Stamp seen_{false, 1};  // never equal to a real stamp: the first refresh reads
    mutable QJsonObject values_;
};

// ~/.config/Seamwright (honouring XDG_CONFIG_HOME).
QString settingsFolder();
// The program's preferences: a separate store in dry-run mode.
SettingsStore& prefs();
// The user's own settings, the same store as prefs() unless in dry-run mode:
// the align and undo keys and whether the guide was shown live here.
SettingsStore& standardDefaults();

// $XDG_STATE_HOME/Seamwright/Seamwright.log, default ~/.local/state/Seamwright/.
QString defaultLogPath();

// Draws the widget at its size into a PNG file.
bool renderPNG(QWidget* view, const QString& path);

}  // namespace seam
