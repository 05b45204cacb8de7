// The service's table of 60 descriptors: the agents it polls, what each
// last answered and when. Every caller holds the poller's lock.
#pragma once

#include "winsnmp.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace pollhost {

constexpr int kDescriptorCount = 60;
constexpr int kNoDescriptor = -1;
constexpr char kDefaultCommunity[] = "vulpes";

struct Descriptor {
  bool inUse = false;
  smiINT32 minRequestId = 0;
  smiINT32 maxRequestId = 0;
  smiINT32 nextRequestId = 0;
  // The id of the latest poll until its answer is taken, so a duplicate
  // or a late answer to an earlier poll is not counted again.
  std::optional<smiINT32> awaitedRequestId;
  std::string address;  // "a.b.c.d", with ":port" for a port other than 161
  std::string host;     // "a.b.c.d", which the answers come from
  uint16_t port = 161;
  HSNMP_ENTITY entity = nullptr;
  std::string community;
  HSNMP_CONTEXT context = nullptr;
  smiUINT32 retries = 4;
  smiTIMETICKS timeout = 1500;  // hundredths of a second
  bool retransmit = true;
  uint32_t pollingInterval = 90000;  // milliseconds
  int64_t countdown = 0;             // milliseconds until the next poll
  time_t firstContacted = 0;
  time_t lastContacted = 0;
  uint32_t successfulContacts = 0;
  smiUINT32 sysUpTime = 0;
  // The octets as received; shown as text only when they are printable.
  std::optional<std::string> sysName, sysDescr, sysLocation, sysContact;
  smiINT sysServices = 0;
};

// What add reports besides a slot index.
enum AddFailure : int { kTableFull = -1, kBadAddress = -2 };

class DescriptorTable {
 public:
  // Entities and contexts are made in `session` (none: descriptors are
  // kept but never polled).
  DescriptorTable(HSNMP_SESSION session, uint32_t pollingInterval);
  ~DescriptorTable();
  DescriptorTable(const DescriptorTable&) = delete;
  DescriptorTable& operator=(const DescriptorTable&) = delete;

  // Takes the lowest free slot for the agent ("a.b.c.d" or "a.b.c.d:port")
  // and returns its index; kTableFull or kBadAddress, with nothing changed.
  int add(const std::string& address);
  // Releases the slot's entity, context and texts; false for an index
  // outside 0..59 or a free slot.
  bool remove(int index);
  void removeAll();
  // The in-use slot for the address (read as add reads it), or kNoDescriptor.
  int find(const std::string& address) const;

  // The slot, or null for an index outside 0..59 or a free slot.
  Descriptor* inUse(int index);
  const Descriptor* inUse(int index) const;
  // The in-use slot whose request-ID window holds the id, or null.
  Descriptor* ownerOf(smiINT32 requestId);

  // The address, or "Unknown" for a free or invalid slot.
  std::string addressText(int index) const;

  HSNMP_SESSION session() const { return session_; }

 private:
  void release(Descriptor& descriptor);

  HSNMP_SESSION session_;
  uint32_t pollingInterval_;
  std::array<Descriptor, kDescriptorCount> slots_;
};

// The address in the form the table keeps, or nothing for text that is
// no agent address.
std::optional<std::string> canonicalAddress(const std::string& text);

}  // namespace pollhost
