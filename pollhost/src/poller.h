// The poller: the service's SNMP session, the system-group request it
// sends to every agent, and the handling of the answers. It lives on the
// polling thread; the pipe thread reaches its table under its lock.
#pragma once

#include "descriptor_report.h"
#include "descriptor_table.h"
#include "timing.h"

#include "platform/sync.h"

#include <memory>

namespace pollhost {

// The thread message that carries the session's notifications.
constexpr UINT kNotificationMessage = 1025;

// Where an answer came from: the sender's address and UDP port.
struct AnswerSource {
  std::string address;
  uint16_t port = 0;
};

class Poller {
 public:
  explicit Poller(const Timing& timing);
  ~Poller();
  Poller(const Poller&) = delete;
  Poller& operator=(const Poller&) = delete;

  // On the polling thread: starts the library and opens the session that
  // notifies `threadId` with kNotificationMessage, builds the request and
  // the table. False when the session cannot be opened.
  bool open(DWORD threadId);
  // Registers the session for traps, which the service ignores; a
  // missing trap provider leaves polling as it is.
  void registerForTraps();
  // Releases the table, the request and the session, and stops the library.
  void close();

  // One step of the poll timer: counts every descriptor down by the step
  // and polls those whose time has come.
  void step();
  // Takes one notification from the session and, when it is the awaited
  // answer of a descriptor's poll, stores what it says.
  void notificationArrived();
  // Stores an answer: a response (not noSuchName) whose request id is the
  // one a descriptor awaits and which comes from that descriptor's agent,
  // address and port. True when it was taken. Lock held.
  bool takeAnswer(smiINT type, smiINT32 requestId, smiINT errorStatus, const AnswerSource& source,
                  HSNMP_VBL list);

  CRITICAL_SECTION& lock() { return lock_; }
  DescriptorTable& table() { return *table_; }
  const ManagerIdentity& manager() const { return manager_; }

 private:
  void poll(Descriptor& descriptor);
  void storeBinding(Descriptor& descriptor, const smiOID& name, const smiVALUE& value);

  Timing timing_;
  CRITICAL_SECTION lock_;
  ManagerIdentity manager_;
  HSNMP_SESSION session_ = nullptr;
  HSNMP_ENTITY managerEntity_ = nullptr;
  HSNMP_VBL request_ = nullptr;
  bool started_ = false;
  std::unique_ptr<DescriptorTable> table_;
};

// This computer's host name and its first IPv4 address (empty when it
// cannot be told).
ManagerIdentity thisComputer();

}  // namespace pollhost
