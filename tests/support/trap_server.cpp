// Starting notifyd for tests.
#include "trap_server.h"

#include "net_snmp_agent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;

bool TrapServer::start() {
  port_ = freeLoopbackPort();
  if (!process_.start({ORVANE_NOTIFYD_PATH, "--address", "127.0.0.1", "--port", std::to_string(port_)})) return false;
  return !process_.waitForLine("notifyd: receiving traps", 30s).empty();
}

std::string TrapServer::waitForLog(const std::string& text) { return process_.waitForLine(text, 30s); }

std::string TrapServer::stop() { return process_.stop(10s); }

bool sendDatagram(uint16_t port, const std::string& octets) {
  int sender = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool sent = sender >= 0 && sendto(sender, octets.data(), octets.size(), 0, reinterpret_cast<sockaddr*>(&to),
                                    sizeof to) == static_cast<ssize_t>(octets.size());
  if (sender >= 0) close(sender);
  return sent;
}
