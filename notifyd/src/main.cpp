// notifyd: the trap server. It owns the trap port and hands every message
// received there to each program that registered with it.
#include "notifyd/trap_server.h"
#include "server_options.h"
#include "trap_forwarding.h"
#include "trap_listener.h"

#include "platform/process_windows.h"

#include <csignal>
#include <cstdio>

namespace {

notifyd::TrapListener* stopTarget = nullptr;

void stopOnSignal(int) {
  if (stopTarget) stopTarget->requestStop();
}

void installStopSignals(notifyd::TrapListener& listener) {
  stopTarget = &listener;
  struct sigaction action{};
  action.sa_handler = stopOnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  notifyd::ServerOptions options;
  std::string error;
  switch (notifyd::parseOptions(argc, argv, options, error)) {
    case notifyd::ParseOutcome::help: std::printf("%s", notifyd::usageText().c_str()); return 0;
    case notifyd::ParseOutcome::bad:
      std::fprintf(stderr, "notifyd: %s\n\n%s", error.c_str(), notifyd::usageText().c_str());
      return 2;
    case notifyd::ParseOutcome::run: break;
  }
  // The port comes first: of two servers started at once, only one gets it.
  notifyd::TrapListener listener;
  if (!listener.open(options, error)) {
    std::fprintf(stderr, "notifyd: %s\n", error.c_str());
    return 1;
  }
  if (HWND running = FindWindow(trapserver::kServerClass, trapserver::kServerTitle)) {
    std::fprintf(stderr, "notifyd: another trap server is running (window %p)\n", static_cast<void*>(running));
    return 1;
  }
  notifyd::TrapForwarding forwarding(listener);
  if (!forwarding.createWindow()) {
    std::fprintf(stderr, "notifyd: cannot publish the server window (is the runtime folder private?)\n");
    return 1;
  }
  installStopSignals(listener);
  if (!listener.start(GetCurrentThreadId(), forwarding.window())) {
    std::fprintf(stderr, "notifyd: cannot start the reader thread\n");
    return 1;
  }
  std::fprintf(stderr, "notifyd: receiving traps on %s:%u (receive buffer %d octets)\n", options.address.c_str(),
               options.port, listener.receiveBuffer());
  forwarding.run();
  listener.join();
  std::fprintf(stderr, "notifyd: stopped after %llu traps received, %llu dropped, %llu copies handed over\n",
               static_cast<unsigned long long>(listener.received()), static_cast<unsigned long long>(listener.dropped()),
               static_cast<unsigned long long>(forwarding.forwarded()));
  return 0;
}
