// The probe's fixed texts.
#include "probe_texts.h"

namespace agentprobe {
namespace {

const char* yesNo(bool value) { return value ? "TRUE" : "FALSE"; }

}  // namespace

std::string usageText() {
  static const char* const lines[] = {
      "\n",
      "\nUsage: agentprobe [-v] [-c(community)] [-r] [-u] [-f] [-b] [-i] [-o]",
      "\n                [-a] [-s(start OID)] [-e(end OID)] [-m(type)(value)]",
      "\n                [-l] [-t] [-p] [-d(interval)] ip.ip.ip.ip",
      "\n",
      "\nOptions (No space between switch and parameter):",
      "\n",
      "\n   -v              Display WinSNMP module version.",
      "\n   -c community    Community [default = vulpes].",
      "\n   -r              Number of retransmits [default = 1].",
      "\n   -u              Timeout per retransmit in miliseconds [default = 5000].",
      "\n   -f              Browse whole MIB tree.",
      "\n   -b              Browse subtrees (-s must be g_specified).",
      "\n   -i              Browse system info.",
      "\n   -o              Don't resolve object ID names.",
      "\n   -a              Resolve remote SNMP agent IP address.",
      "\n   -s start-Oid    Start OID [default = 1.3.6.1.2.1.1.3 (sysUpTime)].",
      "\n   -e end-Oid      End OID [default = 1.3.6.1.2.1.1.4 (sysContact)].",
      "\n   -m type value   Set value (-s must be g_specified).",
      "\n                   Types: o octets, i integer, d oid, u unsigned integer",
      "\n                          g gauge, t timeticks, c counter, a IP address, ",
      "\n                          p NSAP address, b bits, n null.",
      "\n   -l              Print line numbers.",
      "\n   -t              Print value types.",
      "\n   -p              Print parameters.",
      "\n   -d interval-ms  Ping until interrupted [default interval-ms = 1000 ms].",
      "\n",
      "\nExamples: \n",
      "\nPing: agentprobe ip.ip.ip.ip",
      "\nPing: agentprobe -d ip.ip.ip.ip",
      "\nInfo: agentprobe -i -t ip.ip.ip.ip",
      "\nWalk: agentprobe -f -t ip.ip.ip.ip",
      "\nWalk: agentprobe -f -s1.3.6.1 ip.ip.ip.ip",
      "\nWalk: agentprobe -b -s1.3.6.1.2.1.1.1 ip.ip.ip.ip",
      "\nWalk: agentprobe -s1.3.6.1 -e1.3.6.1.2.1.2 ip.ip.ip.ip",
      "\nSet:  agentprobe -mo\"Contact person name\" -s1.3.6.1.2.1.1.4.0 ip.ip.ip.ip",
      "\nSet:  agentprobe -mi12 -s1.3.6.1.2.1.1.7.0 ip.ip.ip.ip",
      "\nSet:  agentprobe -md1.3.6.1.4.1.27182 -s1.3.6.1.2.1.1.2.0 ip.ip.ip.ip",
      "\nPerformance: agentprobe -d0 -l ip.ip.ip.ip",
      "\n",
      "\nUse 'agentprobe > file' or 'agentprobe | more' when output is larger than screen.",
      "\n",
      // Additions of this build.
      "\nAgents on another UDP port: ip.ip.ip.ip:port [default port = 161].",
      "\nNames come from the registered MIB modules; ORVANE_MIB_MODULES, a list of",
      "\nmodule names separated by commas, loads only those. -s and -e take dotted",
      "\nnumbers (.1.3.6.1 too) or a name with optional module and instance:",
      "\nsysContact.0, IF-MIB::ifDescr.",
      "\n-2 speaks SNMPv2c: 64-bit counters print as decimal numbers and the",
      "\nexception values as snmpwalk names them. -g(n) walks with GetBulk, n",
      "\nvariables per request [default n = 10]; it implies -2.",
      "\nLimits: -r 0 to 20, -u 10 to 60000 ms, -d 0 to 3600000 ms, -g 1 to 1000;",
      "\nlarger values are cut to these, negative ones refused.",
      "\nExit codes: 0 nothing was sent (usage, a refused option, nothing to do),",
      "\n1 the exchange with the agent ran (also when it timed out),",
      "\n2 the agent answered with an error status.",
      "\n",
  };
  std::string text;
  for (const char* line : lines) text += line;
  return text;
}

std::string bannerText(const char* fileVersion) {
  return std::string("\nAGENTPROBE Snmp Ping Utility Version ") + fileVersion +
         "\nPart of the Orvane SNMP management suite.";
}

std::string parameterBlock(const Settings& settings, const std::string& startName, const std::string& endName) {
  std::string text = "\n\nCurrent parameters:\n";
  auto line = [&text](const std::string& label, const std::string& value) { text += "\n" + label + value; };
  line("Remote agent IP address: ", settings.agentAddress);
  line("Print WinSNMP module version: ", yesNo(settings.printVersion));
  line("Retransmits: ", std::to_string(settings.retransmits));
  line("Timeout (ms): ", std::to_string(settings.timeoutMilliseconds));
  line("Retransmit mode: ", "ON");
  line("Community: ", settings.community);
  line("Browse whole tree: ", yesNo(settings.browseWholeTree));
  line("Browse system info: ", yesNo(settings.browseSystemInfo));
  line("Browse subtrees: ", yesNo(settings.browseSubtrees));
  line("Oid to string conversion: ", yesNo(settings.resolveOidNames));
  if (!settings.startOid.empty()) line("Start OID: ", settings.startOid + " [" + startName + "]");
  if (!settings.endOid.empty()) line("Stop OID:  ", settings.endOid + " [" + endName + "]");
  line("Set SNMP value: ", yesNo(settings.setValue));
  line("Resolve SNMP agent IP address: ", yesNo(settings.resolveAgentName));
  line("Print value types: ", yesNo(settings.printTypes));
  line("Print line numbers: ", yesNo(settings.printLineNumbers));
  line("Print parameters: ", yesNo(settings.printParameters));
  line("Ping g_specified agent until interrupted: ", yesNo(settings.pingUntilInterrupted));
  return text + "\n";
}

}  // namespace agentprobe
