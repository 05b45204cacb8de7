// The steps both decoders share: the outer framing, the objects a decoded
// message becomes, and the varbinds appended to its list.
#pragma once

#include "ber_reader.h"
#include "binding_list.h"
#include "codec.h"
#include "pdu.h"
#include "snmp_version.h"

#include <cstdint>

namespace netmgr {

// Checks the outer framing: a SEQUENCE that ends exactly at the end of the
// octets, the version (02 01 00, or 02 01 01 when `highest` is SNMPv2c)
// and a community. Leaves `rest` at the PDU and gives the version found.
// Returns 0, or 8 (SNMPAPI_NOOP) for an empty or oversized message, bad
// framing or a version not accepted.
[[nodiscard]] uint32_t readFraming(const uint8_t* octets, size_t length, SnmpVersion highest,
                                   SnmpVersion& version, Octets& community, BerReader& rest);

// The objects a decoded message becomes: the source entity, the
// destination entity (the session's local address), the context, the PDU
// and its list. They are made before the varbinds are read and registered
// only when the message is whole, all under one hold of the table lock, so
// no other thread can reach a half-built message and a failure releases
// them without touching the tables. Whatever was not published is released
// when the builder goes.
class DecodedBuilder {
 public:
  DecodedBuilder() = default;
  DecodedBuilder(const DecodedBuilder&) = delete;
  DecodedBuilder& operator=(const DecodedBuilder&) = delete;
  ~DecodedBuilder();

  // Makes the five objects, the PDU already referring to the empty list.
  // Returns 0 or 2; on failure nothing is left behind.
  [[nodiscard]] uint32_t make(Session& session, const char* sourceAddress, SnmpVersion version,
                              Octets community);
  BindingList& list() { return *list_; }
  Pdu& pdu() { return *made_.pdu; }
  // Registers the objects and hands them over. Returns 0, or 2 when a
  // table cannot grow (and then they are released).
  [[nodiscard]] uint32_t publish(DecodedMessage& decoded);

 private:
  void release();

  DecodedMessage made_;
  BindingList* list_ = nullptr;
};

// Appends one varbind per element until the reader is at its end. Returns
// 0, 99 for a malformed varbind, or 2 when an append fails.
[[nodiscard]] uint32_t appendVarbinds(BerReader reader, BindingList& list);

// Appends one varbind. Returns 0 or 2.
[[nodiscard]] uint32_t appendVarbind(BindingList& list, const smiOID& name, const smiVALUE& value);

}  // namespace netmgr
