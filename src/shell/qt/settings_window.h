// The shortcut and layout settings window. It owns no data: keys and layouts
// come through callbacks, every change goes out through the on… callbacks.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "layouts/saved_layout.h"
#include "shell/shortcut_keys.h"

class QAbstractButton;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace seam {

class SettingsWindow : public QObject {
    Q_OBJECT
  public:
    SettingsWindow();
    ~SettingsWindow() override;

    std::function<KeySpecs()> specs = [] { return KeySpecs{}; };
    std::function<std::vector<SavedLayout>()> layouts = [] { return std::vector<SavedLayout>{}; };
    std::function<void(const std::string& id, const HotKeySpec& spec)> onChange;
    std::function<void(const std::string& id)> onClear;
    std::function<bool(const std::string& layoutId, const std::string& name)> onRename;
    std::function<void(const std::string& layoutId)> onDelete;
    std::function<void(const std::string& layoutId, bool on)> onAutoApply;
    std::function<void(bool recording)> onRecordingChanged;
    std::function<void()> beep;  // the system beep unless replaced

    void show();
    // Rebuilds a visible window after the layouts changed; ends any recording.
    void reloadLayouts();
    // The content, built and refreshed, without showing the window.
    QWidget* renderContent();

    void record(const std::string& id);
    void clearKey(const std::string& id);
    void resetDefaults();
    void renamed(QLineEdit* field);
    void toggledAuto(const std::string& layoutId, bool on);
    void deleteLayout(const std::string& layoutId);
    void stopRecording();

    const std::optional<std::string>& recording() const { return recording_; }
    QWidget* window() const { return window_; }
    QWidget* content() const { return content_; }
    QAbstractButton* shortcutButton(const std::string& id) const;
    QAbstractButton* clearButton(const std::string& id) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ensureWindow();
    void layoutContent();
    void layoutRow(QWidget* parent, const SavedLayout& layout, int y);
    void refresh();
    bool keyDown(const QKeyEvent& event);
    void ring();

    QPointer<QWidget> window_;
    QPointer<QWidget> content_;
    std::map<std::string, QPointer<QAbstractButton>> buttons_;
    std::map<std::string, QPointer<QAbstractButton>> clearButtons_;
    std::optional<std::string> recording_;
    bool monitor_ = false;
};

}  // namespace seam
