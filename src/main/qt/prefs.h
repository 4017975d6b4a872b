// The preferences store over QSettings, and the other Qt-side process facilities.
#pragma once

#include <QString>
#include <memory>

#include "main/settings_store.h"

class QSettings;
class QWidget;

namespace seam {

// A settings file that keeps value types (booleans, numbers, text, bytes) across
// restarts, which QSettings' ini format does not.
class QSettingsStore : public SettingsStore {
public:
    // The file <folder>/<name>.json; the folder is created on first write.
    QSettingsStore(const QString& folder, const QString& name);
    ~QSettingsStore() override;

    std::optional<SettingValue> object(const std::string& key) const override;
    void set(const std::string& key, std::optional<SettingValue> value) override;
    void removeObject(const std::string& key) override;

    QString fileName() const;
    void sync();

private:
    std::unique_ptr<QSettings> settings_;
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
