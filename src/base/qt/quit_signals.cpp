#include "base/qt/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

namespace seam {

namespace {

// Read by the handler, which may run on any thread.
std::atomic<int> pipeWriteEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

// Async-signal-safe only: one write(2), errno as it was.
void onSignal(int number) {
    const int saved = errno;
    const int fd = pipeWriteEnd.load(std::memory_order_relaxed);
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds a wake-up, so a lost byte loses nothing.
    if (fd >= 0) [[maybe_unused]]
        const ssize_t n = ::write(fd, &byte, 1);
    errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void(int)> received) : received_(std::move(received)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readEnd_ = fds[0];
    writeEnd_ = fds[1];
    pipeWriteEnd.store(writeEnd_);
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (::sigaction(kSignals[i], nullptr, &before_[i]) != 0) continue;
        if (before_[i].sa_handler == SIG_IGN) continue;
        caught_[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

QuitSignals::~QuitSignals() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        if (caught_[i]) ::sigaction(kSignals[i], &before_[i], nullptr);
    if (readEnd_ < 0) return;
    pipeWriteEnd.store(-1);
    delete notifier_;
    ::close(readEnd_);
    ::close(writeEnd_);
}

void QuitSignals::drain() {
    std::vector<int> arrived;
    unsigned char bytes[256];
    for (;;) {
        const ssize_t n = ::read(readEnd_, bytes, sizeof bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i)
            if (std::find(arrived.begin(), arrived.end(), bytes[i]) == arrived.end())
                arrived.push_back(bytes[i]);
    }
    for (int number : arrived) received_(number);
}

std::string QuitSignals::name(int signal) {
    switch (signal) {
        case SIGTERM:
            return "SIGTERM";
        case SIGINT:
            return "SIGINT";
        case SIGHUP:
            return "SIGHUP";
    }
    return "signal " + std::to_string(signal);
}

}  // namespace seam
