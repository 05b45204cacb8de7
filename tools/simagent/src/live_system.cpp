// System group and interface table from the running machine.
#include "live_system.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace simagent {
namespace {

const Oid kSystem{1, 3, 6, 1, 2, 1, 1};
const Oid kInterfaces{1, 3, 6, 1, 2, 1, 2};

std::string readFirstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

Oid under(const Oid& base, std::initializer_list<uint32_t> tail) {
  Oid oid = base;
  oid.insert(oid.end(), tail);
  return oid;
}

Value octets(const std::string& text) {
  Value value;
  value.syntax = 0x04;
  value.octets = text;
  return value;
}

Value numeric(uint8_t syntax, int64_t number) {
  Value value;
  value.syntax = syntax;
  value.number = number;
  return value;
}

Value objectId(const Oid& oid) {
  Value value;
  value.syntax = 0x06;
  value.oid = oid;
  return value;
}

std::string hostName() {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

// "aa:bb:cc:dd:ee:ff" to six octets; empty for anything else.
std::string physicalAddress(const std::string& text) {
  std::string octets;
  std::istringstream parts(text);
  std::string part;
  while (std::getline(parts, part, ':')) {
    unsigned value = 0;
    auto result = std::from_chars(part.data(), part.data() + part.size(), value, 16);
    if (part.size() != 2 || result.ec != std::errc()) return "";
    octets += static_cast<char>(value);
  }
  return octets == std::string(6, '\0') ? "" : octets;
}

struct InterfaceCounters {
  std::string name;
  uint64_t received[8] = {};     // bytes packets errs drop fifo frame compressed multicast
  uint64_t transmitted[8] = {};  // bytes packets errs drop fifo colls carrier compressed
};

std::vector<InterfaceCounters> readInterfaces() {
  std::vector<InterfaceCounters> interfaces;
  std::ifstream file("/proc/net/dev");
  std::string line;
  while (std::getline(file, line)) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;  // the two heading lines
    InterfaceCounters counters;
    std::istringstream name(line.substr(0, colon));
    name >> counters.name;
    std::istringstream numbers(line.substr(colon + 1));
    for (uint64_t& value : counters.received) numbers >> value;
    for (uint64_t& value : counters.transmitted) numbers >> value;
    interfaces.push_back(counters);
  }
  return interfaces;
}

void addInterface(MibView& view, uint32_t index, const InterfaceCounters& counters) {
  const std::string sys = "/sys/class/net/" + counters.name + "/";
  const Oid entry{1, 3, 6, 1, 2, 1, 2, 2, 1};
  auto put = [&](uint32_t column, const Value& value) { view.put(under(entry, {column, index}), value, false); };
  auto counter = [](uint64_t value) { return numeric(0x41, static_cast<int64_t>(value & 0xFFFFFFFFu)); };
  bool loopback = counters.name == "lo";
  std::string operstate = readFirstLine(sys + "operstate");
  long speedMbps = std::atol(readFirstLine(sys + "speed").c_str());
  unsigned long flags = std::strtoul(readFirstLine(sys + "flags").c_str(), nullptr, 16);
  put(1, numeric(0x02, index));
  put(2, octets(counters.name));
  put(3, numeric(0x02, loopback ? 24 : 6));  // softwareLoopback, ethernetCsmacd
  put(4, numeric(0x02, std::atol(readFirstLine(sys + "mtu").c_str())));
  put(5, numeric(0x42, speedMbps > 0 && speedMbps < 4295 ? speedMbps * 1000000 : 0));
  put(6, octets(physicalAddress(readFirstLine(sys + "address"))));
  put(7, numeric(0x02, (flags & 1) ? 1 : 2));
  put(8, numeric(0x02, operstate == "up" || (loopback && (flags & 1)) ? 1 : operstate == "down" ? 2 : 4));
  put(9, numeric(0x43, 0));
  put(10, counter(counters.received[0]));
  put(11, counter(counters.received[1] - std::min(counters.received[1], counters.received[7])));
  put(12, counter(counters.received[7]));
  put(13, counter(counters.received[3]));
  put(14, counter(counters.received[2]));
  put(15, counter(0));
  put(16, counter(counters.transmitted[0]));
  put(17, counter(counters.transmitted[1]));
  put(18, counter(0));
  put(19, counter(counters.transmitted[3]));
  put(20, counter(counters.transmitted[2]));
  put(21, numeric(0x42, 0));
  put(22, objectId({0, 0}));
}

}  // namespace

uint32_t systemUptimeTicks() {
  double seconds = std::atof(readFirstLine("/proc/uptime").c_str());
  return static_cast<uint32_t>(static_cast<uint64_t>(seconds * 100) & 0xFFFFFFFFu);
}

void loadLiveSystem(MibView& view, const SystemIdentity& identity) {
  std::string description = "Linux " + hostName() + " " + readFirstLine("/proc/sys/kernel/osrelease") + " " +
                            readFirstLine("/proc/sys/kernel/version");
  view.put(under(kSystem, {1, 0}), octets(description), false);
  view.put(under(kSystem, {2, 0}), objectId({0, 0}), false);
  view.put(under(kSystem, {3, 0}), numeric(0x43, systemUptimeTicks()), false);
  view.put(under(kSystem, {4, 0}), octets(identity.contact), true);
  view.put(under(kSystem, {5, 0}), octets(hostName()), true);
  view.put(under(kSystem, {6, 0}), octets(identity.location), true);
  view.put(under(kSystem, {7, 0}), numeric(0x02, 72), false);

  std::vector<InterfaceCounters> interfaces = readInterfaces();
  view.put(under(kInterfaces, {1, 0}), numeric(0x02, static_cast<int64_t>(interfaces.size())), false);
  for (size_t i = 0; i < interfaces.size(); ++i) addInterface(view, static_cast<uint32_t>(i + 1), interfaces[i]);
}

}  // namespace simagent
