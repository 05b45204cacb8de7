// Request handling with fault injection and statistics.
#include "agent.h"

#include "walk_file.h"

#include <cstdio>
#include <fstream>

namespace simagent {
namespace {

const Oid kSystemGroup{1, 3, 6, 1, 2, 1, 1};

}  // namespace

bool Agent::load(std::string& message) {
  if (options_.walkFile.empty()) return true;
  std::ifstream file(options_.walkFile);
  if (!file) {
    message = "cannot read walk file " + options_.walkFile;
    return false;
  }
  WalkFileResult result = loadWalk(file, view_, true);
  if (result.loaded == 0) {
    message = "no objects in walk file " + options_.walkFile;
    return false;
  }
  if (result.skipped) {
    message = std::to_string(result.skipped) + " lines skipped, the first: " + result.firstError;
  }
  return true;
}

Agent::Agent(const Options& options) : options_(options), faults_(options.faults) {
  if (options_.walkFile.empty()) refreshLiveData();
}

// Live data is read again at most once a second; what a manager set in
// the system group is kept.
void Agent::refreshLiveData() {
  auto now = std::chrono::steady_clock::now();
  if (now - lastRefresh_ < std::chrono::seconds(1)) return;
  lastRefresh_ = now;
  MibView fresh;
  loadLiveSystem(fresh, options_.identity);
  for (uint32_t column : {4u, 5u, 6u}) {
    Oid name = kSystemGroup;
    name.insert(name.end(), {column, 0});
    if (const Value* kept = view_.get(name)) fresh.set(name, *kept);
  }
  view_ = std::move(fresh);
}

Access Agent::accessOf(const std::string& community) const {
  auto found = options_.communities.find(community);
  if (found == options_.communities.end()) return Access::none;
  return found->second ? Access::readWrite : Access::readOnly;
}

std::vector<Answer> Agent::receive(const unsigned char* octets, size_t length, std::string& logLine) {
  ++statistics_.requests;
  if (faults_.dropNext()) {
    ++statistics_.dropped;
    logLine = "dropped a request (fault injection)";
    return {};
  }
  std::optional<Request> request = wire_.decode(octets, length);
  if (!request) {
    ++statistics_.ignored;
    logLine = "ignored a datagram that is not an SNMPv1 message";
    return {};
  }
  if (options_.walkFile.empty()) refreshLiveData();
  std::optional<Response> response = answer(*request, view_, accessOf(request->community));
  if (response && options_.faults.stuckGetNext && request->pduType == kGetNextRequest) {
    response = Response{request->requestId, 0, 0, request->bindings};
  }
  if (response && options_.faults.errorStatus) {
    response = Response{request->requestId, *options_.faults.errorStatus, options_.faults.errorIndex,
                        request->bindings};
  }
  std::optional<std::string> encoded = response ? wire_.encode(*response, request->community) : std::nullopt;
  char summary[96];
  std::snprintf(summary, sizeof summary, "request type 0x%02X id %d, %zu bindings, community ",
                request->pduType, request->requestId, request->bindings.size());
  logLine = summary + ("\"" + request->community + "\": ");
  if (!encoded) {
    ++statistics_.ignored;
    logLine += "not answered";
    return {};
  }
  ++statistics_.answered;
  logLine += "error status " + std::to_string(response->errorStatus);
  Answer reply{*encoded, options_.faults.delayMilliseconds, options_.faults.replyFromOtherPort};
  std::vector<Answer> answers{reply};
  if (options_.faults.duplicate) answers.push_back(reply);
  return answers;
}

}  // namespace simagent
