// The texts the service gives about its descriptors.
#pragma once

#include "descriptor_table.h"

#include <ctime>
#include <string>

namespace pollhost {

// This computer as the manager that polls: its host name and address.
struct ManagerIdentity {
  std::string hostName;
  std::string address;
};

// Every line about one descriptor, each beginning with "\r\n".
std::string descriptorReport(const Descriptor& descriptor, int index, const ManagerIdentity& manager);

// A calendar time as "Thu Jan 01 12:00:00 1998", in local time or GMT.
std::string localDateText(time_t time);
std::string gmtDateText(time_t time);

// The last contact as local date text, or "Not contacted" (also for a
// free or invalid slot).
std::string lastContactedText(const DescriptorTable& table, int index);

// "(72) transport application ": the number and a word per layer bit.
std::string servicesText(smiINT services);

}  // namespace pollhost
