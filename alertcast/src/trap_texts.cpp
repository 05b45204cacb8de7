// The trap sender's fixed texts.
#include "trap_texts.h"

#include "variable_format.h"

namespace alertcast {
namespace {

const char* yesNo(bool value) { return value ? "TRUE" : "FALSE"; }

// " [name]" when the text reads as an OID, and ", (label) value" when the
// slot has a value.
std::string bindingLine(int number, const BindingSlot& slot, const Binding& binding) {
  std::string line = "\nBinding #" + std::to_string(number) + " OID: " + slot.oidText;
  Oid parts;
  if (consoleformat::readDottedOid(slot.oidText.c_str(), parts)) {
    smiOID name{static_cast<smiUINT32>(binding.name.size()), const_cast<smiUINT32*>(binding.name.data())};
    line += " [" + consoleformat::namedOid(name) + "]";
  }
  if (slot.hasValue) {
    const char* label = consoleformat::syntaxLabel(binding.value.get().syntax);
    line += std::string(", ") + (label ? label : "") + " " + consoleformat::valueText(binding.value.get()).value_or("");
  }
  return line;
}

}  // namespace

std::string usageText() {
  static const char* const lines[] = {
      "\n",
      "\nUsage: alertcast [-v] [-c(community)] [-g(generic_type)]",
      "\n                [-s(specific_type)] [-o(oid)] [-m(value_type)(value)]",
      "\n                [-o(oid)] [-m(value_type)(value)]",
      "\n                [-p] [-a(ip_address)] [-e(enterprise_oid)]",
      "\n                [-t(time_stamp)]",
      "\n",
      "\nOptions (No space between switch and parameter):",
      "\n",
      "\n   -v               Display WinSNMP module version.",
      "\n   -c community     Community [default = vulpes].",
      "\n   -g generic_type  Type of the trap [default = 6].",
      "\n                    Types: 0 coldStart, 1 warmStart, 2 linkDown",
      "\n                           3 linkUp, 4 authenticationFailure",
      "\n                           5 egpNeighborLoss, 6 specificTrap",
      "\n   -s specific_type Specific type of the trap [default = 0].",
      "\n   -o oid           Binding OID.",
      "\n   -m type value    Binding value (-o must be specified).",
      "\n                    Types: o octets, i integer, d oid, u unsigned integer",
      "\n                           g gauge, t timeticks, c counter, a IP address, ",
      "\n                           p NSAP address, b bits, n null.",
      "\n   -p               Print parameters.",
      "\n   -a ip_address    Trap sender IP address [default = system IP address].",
      "\n   -e enterpr_oid   Enterprise OID [default = 0.0].",
      "\n   -t time_stamp    Time stamp [default = system up time].",
      "\n",
      "\n",
      "\nExamples:",
      "\n",
      "\nlinkDown: alertcast ip.ip.ip.ip -g2",
      "\nspecific: alertcast ip.ip.ip.ip -s5",
      "\nlinkUp with n bindings, enterprise OID set, non-sysUpTime timestamp",
      "\nand specific community: alertcast ip.ip.ip.ip -g3 -corvane -t2000",
      "\n                                 -o1.3.6.1.4.1.27182 -mi12",
      "\n                                 -o1.3.6.1.4.1.27182.1 -mc14",
      "\n                                 -o1.3.6.1.4.1.27182.2 -mo\"Orvane\"",
      "\n                                 -e1.3.6.1.4.1.27182 ",
      "\n",
      "\nUse 'alertcast > file' or 'alertcast | more' when output is larger than screen.",
      "\n",
      // Additions of this build.
      "\nManagers on another UDP port: ip.ip.ip.ip:port [default port = 162].",
      "\nNumbers: -g 0 to 6, -s 0 to 2147483647, -t 0 to 4294967295; at most 100 bindings.",
      "\nExit code: 1 when the trap was sent, 0 otherwise.",
      "\n",
  };
  std::string text;
  for (const char* line : lines) text += line;
  return text;
}

std::string bannerText(const char* fileVersion) {
  return std::string("\nALERTCAST Send SNMP Trap Utility, Version ") + "" + fileVersion +
         "\nPart of the Orvane SNMP management suite.";
}

std::string managerText(const Settings& settings) {
  if (!settings.managerPort) return settings.managerAddress;
  return settings.managerAddress + ":" + std::to_string(settings.managerPort);
}

std::string parameterBlock(const Settings& settings, const TrapContents& contents) {
  std::string text = "\n\nCurrent parameters:\n";
  auto line = [&text](const std::string& label, const std::string& value) { text += "\n" + label + value; };
  line("Remote agent IP address: ", managerText(settings));
  line("Print WinSNMP module version: ", yesNo(settings.printVersion));
  line("Retransmits: ", "0");
  line("Timeout (ms): ", "0");
  line("Retransmit mode: ", "ON");
  line("Community: ", settings.community);
  line("Oid to string conversion: ", yesNo(false));
  for (int i = 0; i < settings.bindingCount; ++i) text += bindingLine(i + 1, settings.slots[i], contents.bindings[i]);
  line("Resolve SNMP agent IP address: ", yesNo(false));
  line("Print value types: ", yesNo(false));
  line("Print parameters: ", yesNo(settings.printParameters));
  line("Generic trap: ", std::to_string(settings.genericTrap));
  line("Specific trap: ", std::to_string(settings.specificTrap));
  line("Time stamp: ", std::to_string(contents.timeStamp));
  return text + "\n";
}

}  // namespace alertcast
