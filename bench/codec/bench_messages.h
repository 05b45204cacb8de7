// The messages the codec benchmarks encode and decode, described once so
// that our library and net-snmp's build exactly the same octets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BenchVarbind {
  std::vector<uint32_t> name;
  uint8_t syntax;          // the SNMP syntax code, which is also the BER tag
  int64_t number = 0;      // INTEGER, the unsigned types, Counter64
  std::string octets;      // OCTET STRING, IpAddress
  std::vector<uint32_t> oid;
};

struct BenchMessage {
  std::string label;
  int32_t requestId;
  std::string community;
  std::vector<BenchVarbind> varbinds;
};

// A GetResponse with 10 varbinds of mixed syntaxes, as an agent answers a
// poll of the system and interface groups.
BenchMessage mixedResponse();
// A GetResponse of exactly `size` octets: the mixed varbinds repeated,
// with the last string padded to fit. Empty varbinds if it cannot fit.
BenchMessage responseOfSize(size_t size);
// The encoded length of a message (computed, not encoded).
size_t encodedLength(const BenchMessage& message);
