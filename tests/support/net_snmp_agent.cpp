// Running net-snmp's agent for interoperability tests.
#include "net_snmp_agent.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Subtrees whose rows come and go with every socket and process: the UDP
// and TCP endpoint tables, the running software tables and the neighbour
// tables.
const char* const kChangingSubtrees[] = {
    ".1.3.6.1.2.1.6.13", ".1.3.6.1.2.1.6.19", ".1.3.6.1.2.1.6.20", ".1.3.6.1.2.1.7.5",
    ".1.3.6.1.2.1.7.7",  ".1.3.6.1.2.1.25.4", ".1.3.6.1.2.1.25.5", ".1.3.6.1.2.1.4.22",
    ".1.3.6.1.2.1.4.35", ".1.3.6.1.4.1.2021.2"};

}  // namespace

uint16_t freeLoopbackPort() {
  int handle = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof local;
  uint16_t port = 0;
  if (handle >= 0 && bind(handle, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
      getsockname(handle, reinterpret_cast<sockaddr*>(&local), &size) == 0) {
    port = ntohs(local.sin_port);
  }
  if (handle >= 0) close(handle);
  return port;
}

NetSnmpAgent::~NetSnmpAgent() {
  process_.stop();
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

bool NetSnmpAgent::start(const std::vector<std::string>& readCommunities) {
  const char* runtime = std::getenv("ORVANE_RUNTIME_DIR");
  folder_ = std::string(runtime ? runtime : "/tmp") + "/snmpd-" + std::to_string(getpid());
  std::filesystem::create_directories(folder_ + "/persist");
  {
    std::ofstream config(folder_ + "/snmpd.conf");
    // Its log goes to a pipe the test reads only at start: keep it quiet.
    config << "dontLogTCPWrappersConnects yes\n";
    config << "view testview included .1\n";
    for (const char* subtree : kChangingSubtrees) config << "view testview excluded " << subtree << "\n";
    config << "rocommunity public 127.0.0.1 -V testview\n"
           << "rwcommunity private 127.0.0.1 -V testview\n";
    for (const std::string& community : readCommunities) config << "rocommunity " << community << " 127.0.0.1 -V testview\n";
  }
  for (int attempt = 0; attempt < 3 && !port_; ++attempt) {
    uint16_t port = freeLoopbackPort();
    if (!process_.start({"snmpd", "-f", "-Lo", "-C", "-c", folder_ + "/snmpd.conf", "-p", folder_ + "/pid",
                         "udp:127.0.0.1:" + std::to_string(port)},
                        {"SNMP_PERSISTENT_DIR=" + folder_ + "/persist", "MIBS="})) {
      return false;
    }
    if (!process_.waitForLine("NET-SNMP version", std::chrono::seconds(10)).empty()) port_ = port;
    else process_.stop();
  }
  return port_ != 0;
}
