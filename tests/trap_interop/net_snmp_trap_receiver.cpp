// Starting snmptrapd for tests.
#include "net_snmp_trap_receiver.h"

#include "net_snmp_agent.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace std::chrono_literals;

NetSnmpTrapReceiver::~NetSnmpTrapReceiver() {
  process_.stop();
  if (!folder_.empty()) std::filesystem::remove_all(folder_);
}

bool NetSnmpTrapReceiver::start() {
  folder_ = std::string(std::getenv("ORVANE_RUNTIME_DIR")) + "/snmptrapd-" + std::to_string(freeLoopbackPort());
  std::filesystem::create_directories(folder_);
  std::ofstream(folder_ + "/snmptrapd.conf") << "disableAuthorization yes\n";
  for (int attempt = 0; attempt < 5; ++attempt) {
    port_ = freeLoopbackPort();
    // No MIBs: the log is numeric whatever is installed.
    if (!process_.start({"snmptrapd", "-f", "-Lo", "-C", "-c", folder_ + "/snmptrapd.conf", "-On", "-Ot", "-m", "",
                         "-M", folder_, "-p", folder_ + "/pid", "-F",
                         "TRAP generic=%w specific=%q enterprise=%N agent=%a uptime=%T bindings=%V|%v\n",
                         "udp:127.0.0.1:" + std::to_string(port_)},
                        {"SNMPCONFPATH=" + folder_, "HOME=" + folder_})) {
      return false;
    }
    if (!process_.waitForLine("NET-SNMP version", 30s).empty()) return true;
    process_.stop();
  }
  return false;
}

std::string NetSnmpTrapReceiver::nextTrap() { return process_.waitForLine("TRAP generic=", 30s); }

std::string trapField(const std::string& line, const std::string& name) {
  std::string key = name + "=";
  size_t begin = line.find(key);
  if (begin == std::string::npos) return "";
  begin += key.size();
  if (name == "bindings") return line.substr(begin);
  return line.substr(begin, line.find(' ', begin) - begin);
}
