// Library-wide state: one instance per process. Its initial values are
// set when the library is loaded and survive SnmpCleanup.
#pragma once

#include "winsnmp.h"

#include <atomic>
#include <cstdint>
#include <mutex>

class CWinSock;

namespace netmgr {

struct Library {
  std::atomic<bool> started{false};
  // Shared by all threads: the last error of the most recent call.
  std::atomic<uint32_t> globalError{0};
  std::atomic<uint32_t> translateMode{SNMPAPI_UNTRANSLATED_V1};
  std::atomic<uint32_t> retransmitMode{SNMPAPI_ON};
  std::atomic<uint32_t> serialCounter{0};
  std::atomic<uint32_t> debugLevel{0};
  // Serialises start-up and clean-up against each other.
  std::mutex lifecycleLock;
  CWinSock* transport = nullptr;
};

Library& library();

// The next serial number (the counter is incremented before each use).
uint32_t nextSerial();
// The first of `count` consecutive serial numbers, taken at once for
// objects made together.
uint32_t reserveSerials(uint32_t count);

constexpr uint32_t kMajorVersion = 1;
constexpr uint32_t kMinorVersion = 1;
// SNMPv1 and SNMPv2c: entities made in the untranslated SNMPv2 mode speak
// SNMPv2c (GetBulk, 64-bit counters, exception values).
constexpr uint32_t kSupportLevel = SNMPAPI_V2_SUPPORT;

}  // namespace netmgr
