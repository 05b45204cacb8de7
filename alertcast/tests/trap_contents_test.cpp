// Reading what the trap carries: agent address, values by their type
// letter, and errors that name the binding.
#include "trap_contents.h"

#include <gtest/gtest.h>

namespace {

using alertcast::Oid;

alertcast::Settings settingsWith(std::initializer_list<alertcast::BindingSlot> slots) {
  alertcast::Settings settings;
  int index = 0;
  for (const alertcast::BindingSlot& slot : slots) settings.slots[index++] = slot;
  settings.bindingCount = index;
  return settings;
}

TEST(TrapContents, TheAgentAddressIsFourLowBytesOrNothing) {
  smiBYTE address[4] = {9, 9, 9, 9};
  alertcast::readAgentAddress("10.1.2.3", address);
  EXPECT_EQ(std::vector<smiBYTE>(address, address + 4), (std::vector<smiBYTE>{10, 1, 2, 3}));
  alertcast::readAgentAddress("none", address);
  EXPECT_EQ(std::vector<smiBYTE>(address, address + 4), (std::vector<smiBYTE>{0, 0, 0, 0}));
  alertcast::readAgentAddress("10.0.0.257", address);
  EXPECT_EQ(address[3], 1);
}

TEST(TrapContents, EachTypeLetterGivesItsSyntax) {
  const std::vector<std::tuple<char, const char*, smiUINT32>> letters = {
      {'o', "Orvane", SNMP_SYNTAX_OCTETS},     {'i', "-5", SNMP_SYNTAX_INT},       {'u', "4000000000", SNMP_SYNTAX_INT},
      {'d', "1.3.6.1", SNMP_SYNTAX_OID},       {'g', "7", SNMP_SYNTAX_GAUGE32},   {'t', "100", SNMP_SYNTAX_TIMETICKS},
      {'c', "14", SNMP_SYNTAX_CNTR32},         {'a', "10.0.0.1", SNMP_SYNTAX_IPADDR}, {'p', "47.00.05", SNMP_SYNTAX_NSAPADDR},
      {'b', "128.0.0.1", SNMP_SYNTAX_BITS},    {'n', "", SNMP_SYNTAX_NULL}};
  for (const auto& [letter, text, syntax] : letters) {
    std::string problem;
    std::optional<consoleformat::OwnedValue> value = alertcast::readValue(letter, text, problem);
    ASSERT_TRUE(value) << letter << ": " << problem;
    EXPECT_EQ(value->get().syntax, syntax) << letter;
  }
  std::string problem;
  std::optional<consoleformat::OwnedValue> unsignedValue = alertcast::readValue('u', "4000000000", problem);
  EXPECT_EQ(unsignedValue->get().value.uNumber, 4000000000u);
}

TEST(TrapContents, AValueThatDoesNotReadIsAnErrorThatSaysAsWhat) {
  const std::vector<std::tuple<char, const char*, const char*>> refused = {
      {'a', "10.0.0", "cannot be read as an IP address"},
      {'d', "foo", "cannot be read as an OID"},
      {'i', "2147483648", "cannot be read as an integer"},
      {'i', "twelve", "cannot be read as an integer"},
      {'u', "-1", "cannot be read as an unsigned integer"},
      {'c', "4294967296", "cannot be read as a counter"},
      {'x', "12", "'x' is not a type letter"},
      {'\0', "", "needs a type letter"}};
  for (const auto& [letter, text, expected] : refused) {
    std::string problem;
    EXPECT_FALSE(alertcast::readValue(letter, text, problem)) << letter << text;
    EXPECT_NE(problem.find(expected), std::string::npos) << problem;
  }
}

TEST(TrapContents, NamesTheBindingWhoseOidOrValueDoesNotRead) {
  std::string problem;
  alertcast::Settings badValue = settingsWith({{"1.3.6.1", true, 'i', "1"}, {"1.3.6.2", true, 'a', "10.0.0"}});
  EXPECT_FALSE(alertcast::readTrapContents(badValue, "127.0.0.1", 0, problem));
  EXPECT_EQ(problem, "\nOption -m (binding #2): \"10.0.0\" cannot be read as an IP address (four decimal numbers "
                     "separated by dots).");
  alertcast::Settings badOid = settingsWith({{"1.3..6", false, 0, ""}});
  EXPECT_FALSE(alertcast::readTrapContents(badOid, "127.0.0.1", 0, problem));
  EXPECT_EQ(problem, "\nOption -o (binding #1): \"1.3..6\" is not a dotted OID.");
  alertcast::Settings badEnterprise = settingsWith({{"0.0", false, 0, ""}});
  badEnterprise.enterprise = "enterprises";
  EXPECT_FALSE(alertcast::readTrapContents(badEnterprise, "127.0.0.1", 0, problem));
  EXPECT_EQ(problem, "\nOption -e: \"enterprises\" is not a dotted OID.");
}

TEST(TrapContents, DefaultsComeFromThisComputerAndItsUpTime) {
  std::string problem;
  alertcast::Settings settings = settingsWith({{"0.0", false, 0, ""}, {"", true, 'i', "3"}});
  std::optional<alertcast::TrapContents> contents = alertcast::readTrapContents(settings, "192.0.2.7", 4321, problem);
  ASSERT_TRUE(contents) << problem;
  EXPECT_EQ(contents->enterprise, (Oid{0, 0}));
  EXPECT_EQ(std::vector<smiBYTE>(contents->agentAddress, contents->agentAddress + 4),
            (std::vector<smiBYTE>{192, 0, 2, 7}));
  EXPECT_EQ(contents->timeStamp, 4321u);
  ASSERT_EQ(contents->bindings.size(), 2u);
  EXPECT_EQ(contents->bindings[0].name, (Oid{0, 0}));
  EXPECT_EQ(contents->bindings[0].value.get().syntax, static_cast<smiUINT32>(SNMP_SYNTAX_NULL));  // no value
  EXPECT_TRUE(contents->bindings[1].name.empty());
  EXPECT_EQ(contents->bindings[1].value.get().value.sNumber, 3);
  settings.timeStamp = 2000;
  settings.agentAddress = "none";
  contents = alertcast::readTrapContents(settings, "192.0.2.7", 4321, problem);
  EXPECT_EQ(contents->timeStamp, 2000u);
  EXPECT_EQ(contents->agentAddress[0], 0);
}

}  // namespace
