// A Qt application on the shared virtual X server for one test suite. It is
// made and destroyed around the suite, before the server stops.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

namespace seam::testing {

class QtOnX : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_x11";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "xcb");
        app = new QApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete app;
        app = nullptr;
    }

    // Runs the event loop until cond holds; false when it did not within the time.
    // The wait is for the server's replies, not for any behaviour's timing.
    static bool waitFor(const std::function<bool()>& cond, int ms = 3000) {
        QElapsedTimer timer;
        timer.start();
        while (!cond()) {
            if (timer.elapsed() > ms) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    static inline QApplication* app = nullptr;
};

}  // namespace seam::testing
