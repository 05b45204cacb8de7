// The descriptor report and the date texts.
#include "descriptor_report.h"

#include "variable_format.h"

#include <cstdarg>
#include <cstdio>

namespace pollhost {
namespace {

std::string dateText(const std::tm& parts) {
  char text[64];
  if (std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &parts) == 0) return "";
  return text;
}

std::string contactText(time_t time) { return time ? localDateText(time) : "Not contacted"; }

// An agent's octets as the console programs show them: the characters
// when they are printable text, else the hex form.
std::string agentText(const std::string& octets) {
  if (octets.empty()) return "";
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OCTETS;
  value.value.string.len = static_cast<smiUINT32>(octets.size());
  value.value.string.ptr = reinterpret_cast<smiLPBYTE>(const_cast<char*>(octets.data()));
  return consoleformat::valueText(value).value_or("");
}

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, pattern);
  std::vsnprintf(text, sizeof text, pattern, arguments);
  va_end(arguments);
  return text;
}

}  // namespace

std::string localDateText(time_t time) {
  std::tm parts{};
  return localtime_r(&time, &parts) ? dateText(parts) : "";
}

std::string gmtDateText(time_t time) {
  std::tm parts{};
  return gmtime_r(&time, &parts) ? dateText(parts) : "";
}

std::string lastContactedText(const DescriptorTable& table, int index) {
  const Descriptor* descriptor = table.inUse(index);
  return contactText(descriptor ? descriptor->lastContacted : 0);
}

std::string servicesText(smiINT services) {
  static const char* const layers[] = {"physical ", "datalink ", "network ",     "transport ",
                                       "session ",  "presentation ", "application "};
  std::string text = "(" + std::to_string(services) + ") ";
  for (unsigned bit = 0; bit < 7; ++bit) {
    if (static_cast<unsigned>(services) & (1u << bit)) text += layers[bit];
  }
  return text;
}

std::string descriptorReport(const Descriptor& descriptor, int index, const ManagerIdentity& manager) {
  const Descriptor& d = descriptor;
  std::string text = format("\r\nDescriptor index: %d", index);
  text += "\r\nRemote agent address: " + d.address;
  text += "\r\nManager address: " + manager.hostName + " (" + manager.address + ")";
  text += "\r\nRemote agent community: " + d.community;
  text += format("\r\nRemote agent polling interval: %u.%u seconds", d.pollingInterval / 1000, d.pollingInterval % 1000);
  text += format("\r\nLast query request ID: %d", d.nextRequestId);
  text += format("\r\nQuery request ID window: min %d, max %d", d.minRequestId, d.maxRequestId);
  text += format("\r\nQuery retries: %u", d.retries);
  text += format("\r\nQuery timeout: %u.%u seconds", d.timeout / 100, d.timeout % 100);
  text += std::string("\r\nQuery retransmition policy: ") + (d.retransmit ? "ON" : "OFF");
  text += "\r\nFirst contacted: " + contactText(d.firstContacted);
  text += "\r\nLast contacted: " + contactText(d.lastContacted);
  text += format("\r\nSuccesfull contacts: %u", d.successfulContacts);
  if (d.sysName) text += "\r\nRemote system name: " + agentText(*d.sysName);
  if (d.sysUpTime) {
    text += "\r\nRemote system up time: " + consoleformat::timeTicksText(d.sysUpTime) + format(" (%u)", d.sysUpTime);
  }
  if (d.sysDescr) text += "\r\nRemote system descriptor: " + agentText(*d.sysDescr);
  if (d.sysLocation) text += "\r\nRemote system location: " + agentText(*d.sysLocation);
  if (d.sysContact) text += "\r\nRemote system contact: " + agentText(*d.sysContact);
  if (d.sysServices) text += "\r\nRemote system services: " + servicesText(d.sysServices);
  return text;
}

}  // namespace pollhost
