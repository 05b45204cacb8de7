// A window's conversation with one SNMP agent: its session (opened with
// the window and a private message, so that the manager library tells
// the window when an answer or a time-out waits), the entities and the
// context, the OIDs of a walk and the request counter. At most one
// request is in flight; only its answer is taken.
#pragma once

#include "winsnmp.h"

#include "platform/messages.h"

#include <QTimer>

#include <netinet/in.h>

#include <functional>
#include <optional>
#include <string>

namespace netlens {

// How a session reaches its agent, as the Preferences tab says.
struct SessionPolicy {
  UINT port = 161;
  smiUINT32 retransmits = 4;
  smiUINT32 timeoutSeconds = 5;
  bool snmpV2c = false;  // the agent is spoken to in SNMPv2c and walked with GetBulk
};

// Variables asked for by each GetBulk of a walk: a tenth of the requests
// of GetNext, and an answer past a subtree's end wastes little.
constexpr smiINT kWalkRepetitions = 10;

class TAgentRequest {
 public:
  // The counter starts at a random value in 0 .. 2147483646.
  TAgentRequest(HWND notifyWindow, UINT notifyMessage);
  ~TAgentRequest();
  TAgentRequest(const TAgentRequest&) = delete;
  TAgentRequest& operator=(const TAgentRequest&) = delete;

  // Opens the session if none is held, creates the remote entity (with the
  // port), the local entity and the context, and gives both entities the
  // policy. False when the library gives no session.
  bool openSession(const SessionPolicy& policy);
  // Frees the context and the entities and closes the session.
  void closeSession();
  // Gives both entities of the open session a new retry count and timeout.
  void applyPolicy(smiUINT32 retransmits, smiUINT32 timeoutSeconds);
  // Replaces the remote entity by a fresh one for the same agent, so that
  // a request given up on is neither retransmitted nor reported.
  void renewRemoteEntity(UINT port);

  // Sends one request for `name` (with `value`, or NULL when none) under
  // the next request id, which becomes the one in flight.
  bool send(smiINT type, const smiOID& name, const smiVALUE* value);
  bool sendGetNext() { return send(SNMP_PDU_GETNEXT, currentOid, nullptr); }
  // The next request of a walk from the current OID: GetBulk for an
  // SNMPv2c agent, GetNext otherwise.
  bool sendWalk() { return send(policy_.snmpV2c ? SNMP_PDU_GETBULK : SNMP_PDU_GETNEXT, currentOid, nullptr); }
  // Forgets the request in flight: its answer, if it still comes, is
  // ignored.
  void forgetRequest();
  bool requestInFlight() const { return inFlight_; }

  // Whether a received PDU is the answer to the request in flight: a
  // Response with its request id, from the agent's address and port.
  bool isAnswer(HSNMP_ENTITY source, HSNMP_PDU pdu) const;
  // Takes the request in flight as answered.
  void answered() { forgetRequest(); }

  // Called when the request in flight has had all its time: the library's
  // time-out normally comes first, but a datagram the window ignored (with
  // the right request id from the wrong port, say) may already have ended
  // the library's own wait.
  void setDeadlineHandler(std::function<void()> handler) { deadlineHandler_ = std::move(handler); }

  // Whether a handle is one of the request's own (the library hands them
  // back with a time-out; they are not the receiver's to free).
  bool owns(HANDLE handle) const;

  void setCurrentOid(const smiOID& oid);
  void setWalkBound(const smiOID& oid);
  void clearWalkBound();

  HWND notifyWindow;
  UINT notifyMessage;
  std::string managerAddress;
  std::string agentAddress;
  std::string community;
  smiOID walkBound{};
  smiOID currentOid{};
  smiINT32 requestCounter;
  UINT port = 161;
  HSNMP_SESSION session = nullptr;
  HSNMP_ENTITY remoteEntity = nullptr;
  HSNMP_ENTITY localEntity = nullptr;
  HSNMP_CONTEXT context = nullptr;
  bool open = false;

 private:
  void createRemoteEntity();

  SessionPolicy policy_;
  std::optional<in_addr> agentIPv4_;
  bool inFlight_ = false;
  QTimer deadline_;
  std::function<void()> deadlineHandler_;
};

// One item fetched with SnmpRecvMsg. Frees what it received when it goes,
// except handles that belong to the request (a time-out returns those).
class ReceivedMessage {
 public:
  explicit ReceivedMessage(const TAgentRequest& request);
  ~ReceivedMessage();
  ReceivedMessage(const ReceivedMessage&) = delete;
  ReceivedMessage& operator=(const ReceivedMessage&) = delete;

  bool received() const { return error_ == 0; }
  SNMPAPI_STATUS error() const { return error_; }
  bool timedOut() const { return error_ == SNMPAPI_TL_TIMEOUT; }

  HSNMP_ENTITY source = nullptr;
  HSNMP_ENTITY destination = nullptr;
  HSNMP_CONTEXT context = nullptr;
  HSNMP_PDU pdu = nullptr;

 private:
  const TAgentRequest& request_;
  SNMPAPI_STATUS error_ = 0;
};

// The parts of a received PDU. Its binding list is freed with the
// received message.
struct PduData {
  smiINT type = 0;
  smiINT32 requestId = 0;
  smiINT errorStatus = 0;
  smiINT errorIndex = 0;
  HSNMP_VBL bindings = nullptr;

  explicit PduData(HSNMP_PDU pdu);
};

// Frees the descriptors of one binding fetched with SnmpGetVb.
void releaseBinding(smiOID& name, smiVALUE& value);
void releaseOid(smiOID& oid);

}  // namespace netlens
