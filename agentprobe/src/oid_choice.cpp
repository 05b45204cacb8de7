// The OID choice table.
#include "oid_choice.h"

#include "winsnmp.h"

namespace agentprobe {
namespace {

const Oid kSysDescr{1, 3, 6, 1, 2, 1, 1, 1};
const Oid kSysUpTime{1, 3, 6, 1, 2, 1, 1, 3};
const Oid kSysUpTimeInstance{1, 3, 6, 1, 2, 1, 1, 3, 0};
const Oid kSysContact{1, 3, 6, 1, 2, 1, 1, 4};
const Oid kInterfaces{1, 3, 6, 1, 2, 1, 2};

Oid withLastIncreased(Oid oid) {
  if (!oid.empty()) ++oid.back();
  return oid;
}

}  // namespace

std::optional<Oid> readOid(const std::string& text) {
  smiOID parsed{};
  if (SnmpStrToOid(text.c_str(), &parsed) != SNMPAPI_SUCCESS) return std::nullopt;
  Oid oid(parsed.ptr, parsed.ptr + parsed.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, reinterpret_cast<smiLPOPAQUE>(&parsed));
  return oid;
}

OidChoice chooseOids(const Settings& settings) {
  OidChoice choice;
  std::optional<Oid> start = settings.startOid.empty() ? std::nullopt : readOid(settings.startOid);
  std::optional<Oid> end = settings.endOid.empty() ? std::nullopt : readOid(settings.endOid);
  bool given = !settings.startOid.empty() || !settings.endOid.empty();
  if (settings.pingUntilInterrupted) {
    return {kSysUpTimeInstance, kSysContact, FirstRequest::get};
  }
  if (settings.setValue) {
    return {start, start, FirstRequest::set};
  }
  if (given && settings.browseWholeTree) {
    choice = {start, std::nullopt, FirstRequest::getNext};
  } else if (given && !settings.endOid.empty()) {
    choice = {start, end, FirstRequest::getNext};
  } else if (!settings.startOid.empty()) {
    choice = {start, start ? std::optional(withLastIncreased(*start)) : std::nullopt, FirstRequest::getNext};
  } else if (settings.browseWholeTree) {
    choice = {kSysDescr, std::nullopt, FirstRequest::getNext};
  } else if (settings.browseSystemInfo) {
    choice = {kSysDescr, kInterfaces, FirstRequest::getNext};
  } else {
    choice = {kSysUpTime, kSysContact, FirstRequest::getNext};
  }
  if (settings.browseSubtrees && start && start->size() >= 2) {
    choice.start = start;
    choice.end = withLastIncreased(Oid(start->begin(), start->end() - 1));
  }
  return choice;
}

}  // namespace agentprobe
