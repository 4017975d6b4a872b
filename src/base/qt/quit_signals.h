// SIGTERM (the session ends), SIGHUP (the terminal went away) and SIGINT
// (Ctrl+C) quit the program as its Quit item does, so what runs at quit runs
// for them too. The handler only writes the signal's number to a pipe; the event
// loop reads it and calls back.
#pragma once

#include <signal.h>

#include <QObject>
#include <functional>
#include <iterator>
#include <string>

class QSocketNotifier;

namespace seam {

class QuitSignals : public QObject {
  public:
    // From now on each signal calls received with its number, on the event
    // loop, once for however many arrived since it last ran. A signal the
    // process was started ignoring (nohup) stays ignored. One at a time.
    explicit QuitSignals(std::function<void(int signal)> received);
    // Each signal is handled again as it was before.
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // False when the pipe could not be made: the signals end the program as before.
    bool catching() const { return notifier_ != nullptr; }

    static std::string name(int signal);

  private:
    void drain();

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    std::function<void(int)> received_;
    int readEnd_ = -1;
    int writeEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction before_[std::size(kSignals)] = {};
    bool caught_[std::size(kSignals)] = {};
};

}  // namespace seam
