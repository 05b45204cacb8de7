// The steps both decoders share: the outer framing, the objects a decoded
// message becomes, and the varbinds appended to its list.
#pragma once

#include "ber_reader.h"
#include "binding_list.h"
#include "codec.h"

#include <cstdint>

namespace netmgr {

// Checks the outer framing: a SEQUENCE that ends exactly at the end of the
// octets, the version 02 01 00 and a community. Leaves `rest` at the PDU.
// Returns 0, or 8 (SNMPAPI_NOOP) for an empty or oversized message or bad
// framing.
[[nodiscard]] uint32_t readFraming(const uint8_t* octets, size_t length, Octets& community,
                                   BerReader& rest);

// Creates the source entity, the destination entity (the session's local
// address), the context, and a PDU already referring to a new empty list.
// Returns 0 or 2; on failure nothing is left behind.
[[nodiscard]] uint32_t createDecoded(Session& session, const char* sourceAddress, Octets community,
                                     DecodedMessage& decoded, BindingList*& list);

// Appends one varbind per element until the reader is at its end. Returns
// 0, 99 for a malformed varbind, or 2 when an append fails.
[[nodiscard]] uint32_t appendVarbinds(BerReader reader, BindingList& list);

// Appends one varbind. Returns 0 or 2.
[[nodiscard]] uint32_t appendVarbind(BindingList& list, const smiOID& name, const smiVALUE& value);

}  // namespace netmgr
