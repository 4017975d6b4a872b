// The small floating panel that offers a saved layout below the tray icon. It
// never takes the keyboard focus, closes by itself after 20 s unless the
// pointer rests on it, and reports the answer to onAnswer.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "suggest/suggestion_controller.h"

class QCheckBox;

namespace seam {

// A frameless panel above normal windows that the window manager never focuses.
class NoKeyPanel : public QWidget {
    Q_OBJECT
  public:
    explicit NoKeyPanel(const QRect& frame);
    std::function<void()> onReturn;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class SuggestionPanel : public QObject, public SuggestionView {
    Q_OBJECT
  public:
    static constexpr double lifetime = 20.0;
    static constexpr double lingerSeconds = 5.0;

    // cursor gives the pointer in screen coordinates; QCursor::pos() when empty.
    explicit SuggestionPanel(Scheduler& scheduler, std::function<QPoint()> cursor = {});
    ~SuggestionPanel() override;

    // Answer: layout id, whether to switch, whether to switch without asking next time.
    std::function<void(const std::string& id, bool apply, bool always)> onAnswer;
    // The tray icon's frame in screen coordinates, when known.
    std::function<std::optional<QRect>()> anchor;

    void show(const std::string& layoutID, const std::string& name) override;
    void show(const std::string& layoutID, const std::string& name,
              const std::optional<QRect>& anchorFrame);
    void dismiss() override;
    bool isShowing() const override { return panel_ != nullptr; }
    const std::optional<std::string>& layoutID() const { return layoutID_; }
    // The shown panel, for tests and diagnostics.
    QWidget* window() const { return panel_; }

    // The 340 x 132 content; opaque draws a plain background, for rendering to a
    // file. Its check box and buttons are named "check", "switch" and "later".
    static QWidget* makeContent(const std::string& name, bool opaque);

    void tapSwitch() { answer(true); }
    void tapLater() { answer(false); }
    // (Re)arms the time-out.
    void schedule(double seconds);

  private:
    void answer(bool apply);
    void timedOut();

    Scheduler& scheduler_;
    std::function<QPoint()> cursor_;
    QPointer<NoKeyPanel> panel_;
    // Dismissed panels still fading out; they go with us at the latest.
    std::vector<QPointer<NoKeyPanel>> fading_;
    Scheduler::TaskId timer_ = 0;
    QPointer<QCheckBox> check_;
    std::optional<std::string> layoutID_;
};

// The command line's rendering of the panel for a sample layout; false when the
// file could not be written.
bool renderSuggestion(const QString& path);

}  // namespace seam
