// Outstanding requests: one record per request sent (SNMPv1 traps
// excepted), reachable only through the timer list while it waits for an
// answer and through its session's timed-out queue afterwards.
#pragma once

#include "snmp_version.h"
#include "winsnmp.h"

#include <cstdint>

namespace netmgr {

struct Session;
struct Entity;
struct Context;
struct Pdu;

constexpr uint32_t kRequestMarker = 0x12333297;

enum class RequestState : uint32_t { final = 1, retransmissionPending = 2 };

struct OutstandingRequest {
  uint32_t marker;
  Session* session;
  uint32_t sessionSerial;
  Entity* source;  // may be null
  uint32_t sourceSerial;
  Entity* destination;
  uint32_t destinationSerial;
  Context* context;
  uint32_t contextSerial;
  Pdu* pdu;
  uint32_t pduSerial;
  int32_t retriesGranted;  // retransmissions allowed when it was sent
  int32_t retriesLeft;
  uint32_t timeout;  // milliseconds between sends
  RequestState state;
  smiOCTETS message;  // the encoded request, kept for retransmission
  char* address;      // the destination's address text, whole
  uint16_t port;
  int32_t requestId;
  SnmpVersion version;  // the answer must come in the same one
};

// A record holding `message` (now the record's) and a copy of `address`.
// Null when memory runs out; the message is then still the caller's.
OutstandingRequest* createRequest(const char* address, smiOCTETS message);
// Releases the record, its address and its message (if still held).
void releaseRequest(OutstandingRequest* request);

// Adds the request's timer entry, due after its timeout and keyed by its
// destination and request id. Returns 0, or 2 when memory runs out.
[[nodiscard]] uint32_t scheduleExpiry(Session& session, OutstandingRequest& request);

// Sends the request's message again to its destination.
void writeRequest(Session& session, const OutstandingRequest& request);

// The timer callback: retransmits while retries are left, then reports the
// time-out through the session's timed-out queue. A request whose session
// has gone is forgotten.
void expireRequest(void* request);

// Ends every outstanding request addressed to `entity` (being freed):
// no more sends, no time-out.
void withdrawRequestsTo(const Entity* entity);

}  // namespace netmgr
