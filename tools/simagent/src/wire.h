// SNMP messages to and from the agent's requests and responses, through
// the manager library's own message codec.
#pragma once

#include "responder.h"
#include "winsnmp.h"

#include <optional>
#include <string>

namespace simagent {

// The agent's form of a value the library hands out.
Value valueFromLibrary(const smiVALUE& value);
// Frees the descriptor a value the library handed out holds, if any.
void releaseLibraryValue(smiVALUE& value);

class Wire {
 public:
  // Starts the library and opens a session without notifications; check
  // ready() before use.
  Wire();
  ~Wire();
  Wire(const Wire&) = delete;
  Wire& operator=(const Wire&) = delete;

  bool ready() const { return session_ != nullptr; }
  // Nothing when the octets are not an SNMPv1 message.
  std::optional<Request> decode(const unsigned char* octets, size_t length);
  // Nothing when the response cannot be encoded (too big, no bindings).
  std::optional<std::string> encode(const Response& response, const std::string& community);

 private:
  HSNMP_SESSION session_ = nullptr;
  HSNMP_ENTITY self_ = nullptr;
};

}  // namespace simagent
