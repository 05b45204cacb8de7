// Arbitrary octets from the network go through both decoders: the general
// message decoder and the SNMPv1 trap conversion. What decodes is read
// back, re-encoded and decoded again, then released; any object or
// descriptor left over after an input aborts the run, because the private
// heaps keep their blocks reachable where the leak checker cannot see them.
#include "binding_list.h"
#include "codec.h"
#include "entity.h"
#include "context.h"
#include "descriptors.h"
#include "handles.h"
#include "pdu.h"
#include "session.h"
#include "values.h"
#include "varbind.h"

#include <arpa/inet.h>

#include <cstdlib>

namespace {

using netmgr::ObjectKind;

netmgr::Session* session = nullptr;
constexpr ObjectKind kDecodedKinds[] = {ObjectKind::entity, ObjectKind::context, ObjectKind::pdu,
                                        ObjectKind::list};

void require(bool condition) {
  if (!condition) std::abort();
}

void requireNothingLeft() {
  for (ObjectKind kind : kDecodedKinds) {
    require(netmgr::countLive(kind) == 0);
    require(netmgr::heapOf(kind).liveCount() == 0);
  }
  require(netmgr::liveVarbinds() == 0);
  require(netmgr::liveDescriptors() == 0);
}

// Copies every entry out as an application would, and frees the copies.
void readBack(const netmgr::Pdu& pdu) {
  auto* list = reinterpret_cast<netmgr::BindingList*>(netmgr::findLive(ObjectKind::list, pdu.list));
  require(list != nullptr);
  smiUINT32 count = netmgr::countEntries(*list);
  for (smiUINT32 index = 1; index <= count; ++index) {
    netmgr::Varbind* entry = netmgr::findEntry(*list, index);
    require(entry != nullptr);
    smiOID name;
    smiVALUE value;
    require(netmgr::copyVarbindOut(*entry, name, value) == 0);
    netmgr::releaseDescriptor(name.ptr);
    if (value.syntax == SNMP_SYNTAX_OID) netmgr::releaseDescriptor(value.value.oid.ptr);
    else if (netmgr::isDescriptorSyntax(value.syntax)) netmgr::releaseDescriptor(value.value.string.ptr);
  }
}

// A decoded request re-encodes, and the result decodes again with as
// many varbinds, unless its one-octet error or bulk fields grew past one
// octet.
void roundTrip(const netmgr::DecodedMessage& decoded) {
  const netmgr::Pdu& pdu = *decoded.pdu;
  smiOCTETS message{};
  uint32_t error = netmgr::encodeMessage(*session, *decoded.context, pdu, decoded.source->version, message);
  if (error) {
    require(error == SNMPAPI_SIZE_INVALID || error == SNMPAPI_VBL_INVALID);
    return;
  }
  netmgr::DecodedMessage again;
  error = netmgr::decodeMessage(*session, "0.0.0.0", message.ptr, message.len, netmgr::SnmpVersion::v2c, again);
  netmgr::releaseDescriptor(message.ptr);
  bool widened = pdu.errorStatus > 127 || pdu.errorIndex > 127 || pdu.nonRepeaters > 127 || pdu.maxRepetitions > 127;
  if (widened) return netmgr::releaseDecoded(again);
  require(error == 0);
  auto* first = reinterpret_cast<netmgr::BindingList*>(netmgr::findLive(ObjectKind::list, pdu.list));
  auto* second = reinterpret_cast<netmgr::BindingList*>(netmgr::findLive(ObjectKind::list, again.pdu->list));
  require(netmgr::countEntries(*first) == netmgr::countEntries(*second));
  netmgr::releaseDecoded(again);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr);
  session = netmgr::createSession(SNMPAPI_NOTIFY_NONE, 0, 0);
  require(session != nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  netmgr::DecodedMessage decoded;
  if (netmgr::decodeMessage(*session, "0.0.0.0", data, size, netmgr::SnmpVersion::v2c, decoded) == 0) {
    readBack(*decoded.pdu);
    roundTrip(decoded);
    netmgr::releaseDecoded(decoded);
  }
  requireNothingLeft();

  in_addr sender{htonl(INADDR_LOOPBACK)};
  if (netmgr::convertV1Trap(*session, sender, data, size, decoded) == 0) {
    readBack(*decoded.pdu);
    netmgr::releaseDecoded(decoded);
  }
  requireNothingLeft();
  if (netmgr::decodeV2Notification(*session, sender, data, size, decoded) == 0) {
    readBack(*decoded.pdu);
    netmgr::releaseDecoded(decoded);
  }
  requireNothingLeft();
  return 0;
}
