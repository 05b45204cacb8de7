// net-snmp's library encoding and decoding the same messages, for the
// side-by-side benchmarks. Built only when its development files exist.
#pragma once

#include "bench_messages.h"

#include <memory>
#include <vector>

class NetSnmpCodec {
 public:
  explicit NetSnmpCodec(const BenchMessage& message);
  ~NetSnmpCodec();

  // Builds the message from the prepared PDU into a buffer kept between
  // calls (so no allocation of ours is counted against it). The octets
  // stay valid until the next call.
  std::vector<uint8_t> encode();
  // Encodes; returns the length, 0 on failure.
  size_t encodeOnly();
  // Parses a message into a fresh PDU and frees it again; false on failure.
  bool decode(const std::vector<uint8_t>& message);

 private:
  struct State;
  std::unique_ptr<State> state_;
};
