#include "bench_messages.h"

namespace {

constexpr uint8_t kInteger = 0x02, kOctets = 0x04, kOid = 0x06, kIpAddress = 0x40, kCounter32 = 0x41,
                  kGauge32 = 0x42, kTimeTicks = 0x43, kCounter64 = 0x46;

size_t lengthOfLength(size_t length) { return length < 0x80 ? 1 : length <= 0xFF ? 2 : 3; }
size_t element(size_t contents) { return 1 + lengthOfLength(contents) + contents; }

size_t subidentifierLength(uint64_t value) {
  size_t groups = 1;
  while (value >>= 7) ++groups;
  return groups;
}

size_t oidLength(const std::vector<uint32_t>& parts) {
  if (parts.empty()) return 0;
  size_t length = subidentifierLength(uint64_t{parts[0]} * 40 + (parts.size() > 1 ? parts[1] : 0));
  for (size_t i = 2; i < parts.size(); ++i) length += subidentifierLength(parts[i]);
  return length;
}

size_t signedLength(int64_t value) {
  size_t count = 1;
  while (count < 8 && !(value >= -(int64_t{1} << (8 * count - 1)) && value < (int64_t{1} << (8 * count - 1)))) ++count;
  return count;
}

size_t unsignedLength(uint64_t value) {
  size_t count = 1;
  while (count < 8 && (value >> (8 * count)) != 0) ++count;
  return count + ((value >> (8 * count - 1)) & 1);
}

size_t valueLength(const BenchVarbind& varbind) {
  switch (varbind.syntax) {
    case kInteger: return element(signedLength(varbind.number));
    case kOid: return element(oidLength(varbind.oid));
    case kOctets:
    case kIpAddress: return element(varbind.octets.size());
    default: return element(unsignedLength(static_cast<uint64_t>(varbind.number)));
  }
}

std::vector<uint32_t> withIndex(std::vector<uint32_t> name, uint32_t index) {
  name.push_back(index);
  return name;
}

}  // namespace

BenchMessage mixedResponse() {
  return {"GetResponse10",
          0x2BADF00D,
          "public",
          {
              {{1, 3, 6, 1, 2, 1, 1, 1, 0}, kOctets, 0, "Orvane bench agent, release 1.0", {}},
              {{1, 3, 6, 1, 2, 1, 1, 2, 0}, kOid, 0, "", {1, 3, 6, 1, 4, 1, 27182, 1, 2}},
              {{1, 3, 6, 1, 2, 1, 1, 3, 0}, kTimeTicks, 123456789, "", {}},
              {{1, 3, 6, 1, 2, 1, 1, 7, 0}, kInteger, 72, "", {}},
              {{1, 3, 6, 1, 2, 1, 2, 2, 1, 10, 1}, kCounter32, 3000000000, "", {}},
              {{1, 3, 6, 1, 2, 1, 2, 2, 1, 5, 1}, kGauge32, 1000000000, "", {}},
              {{1, 3, 6, 1, 2, 1, 4, 20, 1, 1, 10, 0, 0, 1}, kIpAddress, 0, std::string("\x0A\x00\x00\x01", 4), {}},
              {{1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 6, 1}, kCounter64, 0x123456789, "", {}},
              {{1, 3, 6, 1, 2, 1, 2, 2, 1, 7, 1}, kInteger, -1, "", {}},
              {{1, 3, 6, 1, 2, 1, 2, 2, 1, 2, 1}, kOctets, 0, "eth0", {}},
          }};
}

size_t encodedLength(const BenchMessage& message) {
  size_t varbinds = 0;
  for (const BenchVarbind& varbind : message.varbinds) {
    varbinds += element(element(oidLength(varbind.name)) + valueLength(varbind));
  }
  size_t pdu = element(signedLength(message.requestId)) + 2 * element(1) + element(varbinds);
  return element(element(1) + element(message.community.size()) + element(pdu));
}

BenchMessage responseOfSize(size_t size) {
  BenchMessage message = mixedResponse();
  message.label = "GetResponse" + std::to_string(size);
  std::vector<BenchVarbind> pattern = message.varbinds;
  message.varbinds.clear();
  // Whole rounds of the pattern, each row with its own index, while they fit.
  for (uint32_t row = 1;; ++row) {
    BenchMessage longer = message;
    for (const BenchVarbind& varbind : pattern) {
      BenchVarbind copy = varbind;
      copy.name = withIndex(copy.name, row);
      longer.varbinds.push_back(copy);
    }
    if (encodedLength(longer) > size - 40) break;
    message = longer;
  }
  BenchVarbind padding{{1, 3, 6, 1, 4, 1, 27182, 9, 0}, kOctets, 0, "", {}};
  message.varbinds.push_back(padding);
  for (size_t step = 0; step < size && encodedLength(message) < size; ++step) {
    message.varbinds.back().octets.push_back('p');
  }
  if (encodedLength(message) != size) message.varbinds.clear();
  return message;
}
