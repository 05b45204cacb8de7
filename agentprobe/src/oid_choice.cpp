// The OID choice table.
#include "oid_choice.h"

#include <cstdint>

namespace agentprobe {
namespace {

const Oid kSysDescr{1, 3, 6, 1, 2, 1, 1, 1};
const Oid kSysUpTime{1, 3, 6, 1, 2, 1, 1, 3};
const Oid kSysUpTimeInstance{1, 3, 6, 1, 2, 1, 1, 3, 0};
const Oid kSysContact{1, 3, 6, 1, 2, 1, 1, 4};
const Oid kInterfaces{1, 3, 6, 1, 2, 1, 2};

}  // namespace

std::optional<Oid> firstAfterSubtree(Oid oid) {
  while (!oid.empty() && oid.back() == UINT32_MAX) oid.pop_back();
  if (oid.empty()) return std::nullopt;
  ++oid.back();
  return oid;
}

OidChoice chooseOids(const Settings& settings, const std::optional<Oid>& start, const std::optional<Oid>& end) {
  OidChoice choice;
  bool given = start || end;
  if (settings.pingUntilInterrupted) {
    return {kSysUpTimeInstance, kSysContact, FirstRequest::get};
  }
  if (settings.setValue) {
    return {start, start, FirstRequest::set};
  }
  if (given && settings.browseWholeTree) {
    choice = {start, std::nullopt, FirstRequest::getNext};
  } else if (end) {
    choice = {start, end, FirstRequest::getNext};
  } else if (start) {
    choice = {start, firstAfterSubtree(*start), FirstRequest::getNext};
  } else if (settings.browseWholeTree) {
    choice = {kSysDescr, std::nullopt, FirstRequest::getNext};
  } else if (settings.browseSystemInfo) {
    choice = {kSysDescr, kInterfaces, FirstRequest::getNext};
  } else {
    choice = {kSysUpTime, kSysContact, FirstRequest::getNext};
  }
  if (settings.browseSubtrees && start && start->size() >= 2) {
    choice.start = start;
    choice.end = firstAfterSubtree(Oid(start->begin(), start->end() - 1));
  }
  return choice;
}

}  // namespace agentprobe
