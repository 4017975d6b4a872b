// The how-to window: four steps, the current keys, and a way to start at once.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

class QWidget;

namespace seam {

class Scheduler;

class GuideWindow : public QObject {
    Q_OBJECT
  public:
    explicit GuideWindow(Scheduler& scheduler);
    ~GuideWindow() override;

    std::function<void()> onTry;
    std::function<void()> onShortcuts;
    std::function<std::string()> alignKey = [] { return std::string(); };
    std::function<std::string()> undoKey = [] { return std::string(); };
    std::function<bool()> trayShown = [] { return true; };

    // A fresh window, replacing the previous one, shown in front.
    void show();
    // The same fresh window, not shown (for renderings).
    QWidget* build();

    void tryNow();
    void openShortcuts();
    void closeIt();

    QWidget* window() const { return window_; }

  private:
    Scheduler& scheduler_;
    QPointer<QWidget> window_;
};

}  // namespace seam
