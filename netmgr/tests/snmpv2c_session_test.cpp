// Answers in both message versions on one session: each request takes
// only an answer in its own version, and an SNMPv1-only session refuses
// version 1 as it always did. The agent is a socket of the test's own,
// so it can answer in either version.
#include "session_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A loopback UDP socket that takes one request and sends back crafted
// answers to it.
class HandMadeAgent {
 public:
  HandMadeAgent() {
    socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~HandMadeAgent() { close(socket_); }
  uint16_t port() const { return port_; }

  // Waits (generously) for the next request; empty when none came.
  std::vector<uint8_t> takeRequest() {
    pollfd watched{socket_, POLLIN, 0};
    if (poll(&watched, 1, 30000) != 1) return {};
    std::vector<uint8_t> octets(65535);
    socklen_t length = sizeof client_;
    ssize_t received = recvfrom(socket_, octets.data(), octets.size(), 0, reinterpret_cast<sockaddr*>(&client_), &length);
    octets.resize(received > 0 ? static_cast<size_t>(received) : 0);
    return octets;
  }
  // The request turned into a Response of message version `version` whose
  // last octet (the request's NULL value's length) says which answer it
  // is: a NULL becomes an INTEGER `mark`.
  void answer(std::vector<uint8_t> request, uint8_t version, uint8_t mark) {
    request[4] = version;  // 30 LL 02 01 VV: short-form lengths in these small messages
    size_t pdu = 7 + request[6];
    request[pdu] = SNMP_PDU_RESPONSE;
    request.back() = 0x01;
    request[request.size() - 2] = SNMP_SYNTAX_INT;
    request.push_back(mark);
    // The lengths that cover the value: message, PDU, variable-bindings
    // and varbind.
    for (size_t at : {size_t{1}, pdu + 1, request.size() - 15, request.size() - 13}) ++request[at];
    sendto(socket_, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&client_), sizeof client_);
  }

 private:
  int socket_ = -1;
  uint16_t port_ = 0;
  sockaddr_in client_{};
};

class SnmpV2cSession : public SessionTest {
 protected:
  void TearDown() override {
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
    SessionTest::TearDown();
  }
  HSNMP_ENTITY agentOfMode(HSNMP_SESSION session, smiUINT32 mode, uint16_t port) {
    SnmpSetTranslateMode(mode);
    HSNMP_ENTITY entity = agentAt(session, port, 1000, 0);
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
    return entity;
  }
  // The INTEGER mark of an answer's first binding, or -1.
  static int markOf(const Received& received) {
    smiVALUE value{};
    if (!received.status || firstName(received.pdu, nullptr, &value).empty()) return -1;
    return value.syntax == SNMP_SYNTAX_INT ? value.value.sNumber : -1;
  }
  // Sends a GetNext to `target`, answers it first in the wrong version and
  // then in the right one, and gives the mark of what the session hands out.
  int firstAnswerTaken(HSNMP_SESSION session, HandMadeAgent& agent, HSNMP_ENTITY target, uint8_t wrong,
                       uint8_t right) {
    EXPECT_EQ(SnmpSendMsg(session, nullptr, target, community(session, "public"),
                          request(session, SNMP_PDU_GETNEXT, "1.3.6.1.2.1.1.3")),
              SNMPAPI_SUCCESS);
    std::vector<uint8_t> sent = agent.takeRequest();
    EXPECT_GT(sent.size(), 30u);
    if (sent.size() <= 30) return -1;
    EXPECT_EQ(sent[4], right) << "the request went out in the entity's version";
    agent.answer(sent, wrong, 1);
    agent.answer(sent, right, 2);
    return markOf(waitFor(session));
  }
};

TEST_F(SnmpV2cSession, EachRequestTakesOnlyAnAnswerInItsOwnVersion) {
  HandMadeAgent agent;
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY v1 = agentOfMode(session, SNMPAPI_UNTRANSLATED_V1, agent.port());
  HSNMP_ENTITY v2c = agentOfMode(session, SNMPAPI_UNTRANSLATED_V2, agent.port());
  EXPECT_EQ(firstAnswerTaken(session, agent, v1, 1, 0), 2);
  EXPECT_EQ(firstAnswerTaken(session, agent, v2c, 0, 1), 2);
  // The refused answers were dropped, not kept for later.
  EXPECT_EQ(waitFor(session, std::chrono::milliseconds(300)).error, SNMPAPI_NOOP);
}

TEST_F(SnmpV2cSession, AnSnmpV1SessionRefusesVersion1AsBefore) {
  HandMadeAgent agent;
  HSNMP_SESSION session = openPolled();
  HSNMP_ENTITY v1 = agentOfMode(session, SNMPAPI_UNTRANSLATED_V1, agent.port());
  SnmpSendMsg(session, nullptr, v1, community(session, "public"), request(session, SNMP_PDU_GETNEXT, "1.3.6.1.2.1.1.3"));
  std::vector<uint8_t> sent = agent.takeRequest();
  ASSERT_GT(sent.size(), 30u);
  // Neither an unsolicited version-1 answer (a request id of its own) nor
  // one to the request is taken; the version-0 answer is.
  std::vector<uint8_t> otherId = sent;
  otherId[otherId.size() - 22] ^= 0x40;  // the request id's last octet
  agent.answer(otherId, 1, 1);
  agent.answer(sent, 1, 1);
  agent.answer(sent, 0, 2);
  EXPECT_EQ(markOf(waitFor(session)), 2);
  EXPECT_EQ(waitFor(session, std::chrono::milliseconds(300)).error, SNMPAPI_NOOP);
}

}  // namespace
