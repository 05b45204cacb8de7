#include "gui_application.h"

#include <QTimer>

#include <cstdlib>

QApplication& guiApplication() {
  static QApplication* application = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "orvane-gui-test";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *application;
}

bool processEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
  guiApplication();
  auto end = std::chrono::steady_clock::now() + deadline;
  // Wakes the wait for events now and then, so the deadline is seen.
  QTimer tick;
  tick.start(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// fontconfig keeps caches it never frees, which the Qt platform's font
// database makes it build; they are not the tests' leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
