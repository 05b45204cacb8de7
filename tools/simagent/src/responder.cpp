// Request handling against the agent's data.
#include "responder.h"

namespace simagent {
namespace {

Response failure(const Request& request, int status, size_t index) {
  return Response{request.requestId, status, static_cast<int>(index + 1), request.bindings};
}

Response readEach(const Request& request, const MibView& view, bool next) {
  Response response{request.requestId, 0, 0, {}};
  for (size_t i = 0; i < request.bindings.size(); ++i) {
    const Oid& name = request.bindings[i].name;
    if (next) {
      const VarBind* found = view.next(name);
      if (!found) return failure(request, kNoSuchName, i);
      response.bindings.push_back(*found);
    } else {
      const Value* found = view.get(name);
      if (!found) return failure(request, kNoSuchName, i);
      response.bindings.push_back({name, *found});
    }
  }
  return response;
}

// All bindings are checked before any is applied, so a Set changes all of
// them or none.
Response writeAll(const Request& request, MibView& view, Access access) {
  for (size_t i = 0; i < request.bindings.size(); ++i) {
    const VarBind& binding = request.bindings[i];
    // An SNMPv1 agent reports objects it will not write as noSuchName.
    if (access != Access::readWrite) return failure(request, kNoSuchName, i);
    switch (view.check(binding.name, binding.value)) {
      case MibView::SetOutcome::changed: break;
      case MibView::SetOutcome::wrongType: return failure(request, kBadValue, i);
      default: return failure(request, kNoSuchName, i);
    }
  }
  for (const VarBind& binding : request.bindings) view.set(binding.name, binding.value);
  return Response{request.requestId, 0, 0, request.bindings};
}

}  // namespace

std::optional<Response> answer(const Request& request, MibView& view, Access access) {
  if (access == Access::none) return std::nullopt;
  switch (request.pduType) {
    case kGetRequest:
      return readEach(request, view, false);
    case kGetNextRequest:
    case kGetBulkRequest:
      return readEach(request, view, true);
    case kSetRequest:
      return writeAll(request, view, access);
    default:
      return std::nullopt;
  }
}

}  // namespace simagent
