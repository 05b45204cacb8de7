// Interrupts taken by a waiting thread, so that flushing standard output
// runs as ordinary code and not inside a signal handler, where stdio may
// not be used.
#include "platform/console_interrupt.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace platform {
namespace {

sigset_t interruptSignals() noexcept {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  return signals;
}

void* flushWhenInterrupted(void*) {
  sigset_t signals = interruptSignals();
  int taken = 0;
  if (sigwait(&signals, &taken) != 0) return nullptr;
  std::fflush(stdout);
  std::fflush(stderr);
  // The signal's own default action ends the process, so its parent sees
  // the same status as without this thread.
  std::signal(taken, SIG_DFL);
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
  raise(taken);
  return nullptr;
}

}  // namespace

void flushOutputWhenInterrupted() noexcept {
  sigset_t signals = interruptSignals();
  if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
  pthread_t thread;
  if (pthread_create(&thread, nullptr, flushWhenInterrupted, nullptr) != 0) {
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    return;
  }
  pthread_detach(thread);
}

}  // namespace platform
