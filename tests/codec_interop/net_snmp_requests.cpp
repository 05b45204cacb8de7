#include "net_snmp_requests.h"

std::vector<ToolRequest> netSnmpRequests() {
  const std::vector<std::string> once = {"-r", "0", "-t", "1"};
  auto with = [&](std::vector<std::string> head, std::vector<std::string> tail) {
    head.insert(head.end(), once.begin(), once.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  return {
      {"snmpget-v1",
       with({"snmpget", "-v1", "-c", "public"}, {"127.0.0.1:PORT", "1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.1.3.0"})},
      {"snmpgetnext-v1", with({"snmpgetnext", "-v1", "-c", "public"}, {"127.0.0.1:PORT", "1.3.6.1.2.1.2.2.1.2"})},
      {"snmpset-v1",
       with({"snmpset", "-v1", "-c", "private"},
            {"127.0.0.1:PORT", "1.3.6.1.2.1.1.4.0", "s", "ops@example", "1.3.6.1.2.1.2.2.1.7.1", "i", "-2",
             "1.3.6.1.4.1.27182.1.1", "u", "4294967295", "1.3.6.1.4.1.27182.1.2", "t", "360000",
             "1.3.6.1.4.1.27182.1.3", "a", "192.168.1.2", "1.3.6.1.4.1.27182.1.4", "o", "1.3.6.1.4.1.27182",
             "1.3.6.1.4.1.27182.1.5", "x", "DE AD BE EF"})},
      {"snmptrap-v1-enterprise",
       {"snmptrap", "-v1", "-c", "public", "127.0.0.1:PORT", "1.3.6.1.4.1.27182", "10.0.0.1", "6", "5", "1234",
        "1.3.6.1.4.1.27182.1.1", "s", "disk full", "1.3.6.1.4.1.27182.1.2", "i", "90"}},
      {"snmptrap-v1-linkup",
       {"snmptrap", "-v1", "-c", "traps", "127.0.0.1:PORT", "1.3.6.1.6.3.1.1.5", "192.168.1.1", "3", "0", "4711",
        "1.3.6.1.2.1.2.2.1.1.2", "i", "2"}},
  };
}

std::vector<std::string> pointedAt(const ToolRequest& request, uint16_t port) {
  std::vector<std::string> arguments = request.arguments;
  for (std::string& argument : arguments) {
    if (size_t at = argument.find("PORT"); at != std::string::npos) argument.replace(at, 4, std::to_string(port));
  }
  return arguments;
}
