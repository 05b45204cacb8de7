#include "netsnmp_codec.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdlib>
#include <cstring>

struct NetSnmpCodec::State {
  netsnmp_session session{};
  netsnmp_pdu* pdu = nullptr;
  std::vector<u_char> buffer = std::vector<u_char>(4096);
};

namespace {

std::vector<oid> oidOf(const std::vector<uint32_t>& parts) { return std::vector<oid>(parts.begin(), parts.end()); }

void addVarbind(netsnmp_pdu* pdu, const BenchVarbind& varbind) {
  std::vector<oid> name = oidOf(varbind.name);
  long number = static_cast<long>(varbind.number);
  u_long unsignedNumber = static_cast<u_long>(varbind.number);
  switch (varbind.syntax) {
    case ASN_INTEGER:
      snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_INTEGER, &number, sizeof number);
      break;
    case ASN_OCTET_STR:
    case ASN_IPADDRESS:
      snmp_pdu_add_variable(pdu, name.data(), name.size(), varbind.syntax, varbind.octets.data(),
                            varbind.octets.size());
      break;
    case ASN_OBJECT_ID: {
      std::vector<oid> value = oidOf(varbind.oid);
      snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OBJECT_ID, value.data(), value.size() * sizeof(oid));
      break;
    }
    case ASN_COUNTER64: {
      counter64 value{static_cast<u_long>(varbind.number >> 32), static_cast<u_long>(varbind.number & 0xFFFFFFFF)};
      snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_COUNTER64, &value, sizeof value);
      break;
    }
    default:
      snmp_pdu_add_variable(pdu, name.data(), name.size(), varbind.syntax, &unsignedNumber, sizeof unsignedNumber);
      break;
  }
}

}  // namespace

NetSnmpCodec::NetSnmpCodec(const BenchMessage& message) : state_(std::make_unique<State>()) {
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
  snmp_sess_init(&state_->session);
  state_->session.version = SNMP_VERSION_1;
  state_->pdu = snmp_pdu_create(SNMP_MSG_RESPONSE);
  state_->pdu->version = SNMP_VERSION_1;
  state_->pdu->reqid = message.requestId;
  state_->pdu->community = static_cast<u_char*>(std::malloc(message.community.size()));
  std::memcpy(state_->pdu->community, message.community.data(), message.community.size());
  state_->pdu->community_len = message.community.size();
  for (const BenchVarbind& varbind : message.varbinds) addVarbind(state_->pdu, varbind);
}

NetSnmpCodec::~NetSnmpCodec() { snmp_free_pdu(state_->pdu); }

size_t NetSnmpCodec::encodeOnly() {
  u_char* packet = state_->buffer.data();
  size_t size = state_->buffer.size(), offset = 0;
  if (snmp_build(&packet, &size, &offset, &state_->session, state_->pdu) != 0) return 0;
  return offset;
}

// Built from the end of the buffer backwards: the message is its last
// `offset` octets.
std::vector<uint8_t> NetSnmpCodec::encode() {
  size_t length = encodeOnly();
  const u_char* end = state_->buffer.data() + state_->buffer.size();
  return std::vector<uint8_t>(end - length, end);
}

bool NetSnmpCodec::decode(const std::vector<uint8_t>& message) {
  auto* pdu = static_cast<netsnmp_pdu*>(std::calloc(1, sizeof(netsnmp_pdu)));
  bool parsed = snmp_parse(nullptr, &state_->session, pdu, const_cast<u_char*>(message.data()), message.size()) == 0;
  snmp_free_pdu(pdu);
  return parsed;
}
