// What the agent answers: Get, GetNext and Set in the SNMPv1 manner, with
// noSuchName at the end of its data and for objects it does not have.
#pragma once

#include "mib_view.h"

#include <optional>

namespace simagent {

constexpr uint8_t kGetRequest = 0xA0, kGetNextRequest = 0xA1, kResponse = 0xA2, kSetRequest = 0xA3,
                  kGetBulkRequest = 0xA5;
constexpr int kNoSuchName = 2, kBadValue = 3;

struct Request {
  uint8_t pduType = 0;
  int32_t requestId = 0;
  std::string community;
  std::vector<VarBind> bindings;
};

struct Response {
  int32_t requestId = 0;
  int errorStatus = 0;
  int errorIndex = 0;
  std::vector<VarBind> bindings;
};

enum class Access { none, readOnly, readWrite };

// The response to a request from a community with the given access, or
// nothing for requests an agent does not answer (unknown community, PDU
// types other than requests). A failed request returns its own bindings
// with the error status and the 1-based index of the binding at fault.
std::optional<Response> answer(const Request& request, MibView& view, Access access);

}  // namespace simagent
