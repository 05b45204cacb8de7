// The second process of the trap tests: registers one session for traps,
// prints "registered", then one line per notification it takes:
//   trap <source> <community> <name>=<syntax>:<value> ...
// until it is stopped.
#include "received_traps.h"

#include <cstdio>

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (!SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr)) return 1;
  HSNMP_SESSION session = SnmpOpenEx(SNMPAPI_NOTIFY_NONE, 0, 0);
  if (!SnmpRegister(session, nullptr, nullptr, nullptr, nullptr, SNMPAPI_ON)) {
    std::printf("not registered: %u\n", SnmpGetLastError(session));
    return 1;
  }
  std::printf("registered\n");
  for (;;) {
    std::optional<ReceivedTrap> trap = waitForTrap(session, std::chrono::hours(1));
    if (!trap) continue;
    std::string line = "trap " + trap->source + " " + trap->community;
    for (const auto& [name, value] : trap->bindings) line += " " + name + "=" + value;
    std::printf("%s\n", line.c_str());
  }
}
