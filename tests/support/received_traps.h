// Taking notifications from a registered session the way an application
// does: dispatching the thread's messages (the trap catcher's window lives
// on the thread that registered) and calling SnmpRecvMsg, then reading the
// PDU into plain text and freeing every handle. Uses only the public
// interface; the test program links the library itself.
#pragma once

#include "winsnmp.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ReceivedTrap {
  std::string source;       // the source entity's address text
  std::string destination;
  std::string community;
  smiINT type = 0;
  smiINT32 requestId = 0;
  // Name (dotted) and value ("syntax:text") of every binding, in order.
  std::vector<std::pair<std::string, std::string>> bindings;

  // The value of the first binding with this name; empty when none.
  std::string valueOf(const std::string& name) const;
};

// Dispatches the calling thread's messages until `done` says so or the
// time is up; returns what `done` said last.
bool pumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// The next notification of the session, waiting up to `timeout` while
// dispatching messages; nothing when none came or SnmpRecvMsg failed
// otherwise than with "nothing queued".
std::optional<ReceivedTrap> waitForTrap(HSNMP_SESSION session,
                                        std::chrono::milliseconds timeout = std::chrono::seconds(30));

// "syntax:text" for a value: numbers in decimal, strings as their
// characters, addresses dotted, OIDs dotted.
std::string valueText(const smiVALUE& value);

// An OID from its dotted text, as a descriptor to free with
// SnmpFreeDescriptor.
smiOID oidOf(const char* text);
void freeOid(smiOID& oid);
