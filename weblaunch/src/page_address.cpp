#include "page_address.h"

#include "platform/maker.h"

#include <cstdio>

namespace weblaunch {
namespace {

constexpr const char* kHomePage = "index";

// Pages 1 to 16.
constexpr const char* kPages[] = {
    "products",        "mib-compiler", "mib-browser", "snmp-library", "module-library", "console-tools",
    "trap-sender",     "polling-service", "downloads", "news",       "faq",            "contact",
    "order",           "registration", "support",     "company",
};
static_assert(sizeof kPages / sizeof kPages[0] == 16);

}  // namespace

std::string pageAddress(unsigned code) {
  const char* page = code >= 1 && code <= 16 ? kPages[code - 1] : kHomePage;
  char address[kAddressBuffer];
  std::snprintf(address, sizeof address, "%s%s.html", platform::maker::kWebAddress, page);
  return address;
}

}  // namespace weblaunch
