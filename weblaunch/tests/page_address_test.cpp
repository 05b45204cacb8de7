#include "browser_command.h"
#include "page_address.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using weblaunch::commandOpening;
using weblaunch::pageAddress;

TEST(PageAddress, ZeroAndEveryCodeAboveSixteenOpenTheHomePage) {
  EXPECT_EQ(pageAddress(0), "https://www.orvane.example/index.html");
  EXPECT_EQ(pageAddress(17), pageAddress(0));
  EXPECT_EQ(pageAddress(0xFFFFFFFFu), pageAddress(0));
}

TEST(PageAddress, EachOfTheSixteenCodesHasAPageOfItsOwnThatFitsTheBuffer) {
  std::set<std::string> addresses;
  for (unsigned code = 0; code <= 16; ++code) {
    std::string address = pageAddress(code);
    EXPECT_LT(address.size(), weblaunch::kAddressBuffer) << address;
    EXPECT_EQ(address.rfind("https://www.orvane.example/", 0), 0u) << address;
    EXPECT_EQ(address.substr(address.size() - 5), ".html") << address;
    addresses.insert(address);
  }
  EXPECT_EQ(addresses.size(), 17u);
}

TEST(BrowserCommand, ProgramsEndingInExeLoseWhatFollowsTheirName) {
  const std::string page = "https://www.orvane.example/index.html";
  EXPECT_EQ(commandOpening("\"/opt/Web Tools/Browser.EXE\" -osint -url \"%1\"", page),
            "\"/opt/Web Tools/Browser.EXE\" " + page);
  EXPECT_EQ(commandOpening("/opt/browser.exe %1", page), "/opt/browser.exe " + page);
  EXPECT_EQ(commandOpening("/usr/bin/www-browser --new-tab", page), "/usr/bin/www-browser --new-tab " + page);
}

}  // namespace
