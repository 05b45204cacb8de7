// Reading alertcast's command line: the binding slots of -o and -m, the
// manager address, and numbers that are refused.
#include "trap_settings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Parsed {
  alertcast::ParseOutcome outcome;
  alertcast::Settings settings;
  std::string refusal;
};

Parsed parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "alertcast");
  Parsed parsed;
  parsed.outcome = alertcast::parseCommandLine(static_cast<int>(arguments.size()), arguments.data(), parsed.settings,
                                               parsed.refusal);
  return parsed;
}

TEST(TrapSettings, DefaultsToOneBindingOf00AndAnEnterpriseSpecificTrap) {
  Parsed parsed = parse({"10.0.0.5"});
  ASSERT_EQ(parsed.outcome, alertcast::ParseOutcome::run);
  const alertcast::Settings& settings = parsed.settings;
  EXPECT_EQ(settings.managerAddress, "10.0.0.5");
  EXPECT_EQ(settings.managerPort, 0);
  EXPECT_EQ(settings.community, "vulpes");
  EXPECT_EQ(settings.genericTrap, 6);
  EXPECT_EQ(settings.specificTrap, 0);
  EXPECT_EQ(settings.enterprise, "0.0");
  EXPECT_FALSE(settings.agentAddress);
  EXPECT_FALSE(settings.timeStamp);
  ASSERT_EQ(settings.bindingCount, 1);
  EXPECT_EQ(settings.slots[0].oidText, "0.0");
  EXPECT_FALSE(settings.slots[0].hasValue);
}

TEST(TrapSettings, EachMFillsTheSlotTheOptionsBeforeItNamed) {
  Parsed parsed = parse({"-o1.3.6.1.2.1.2.2.1.1.3", "-mi3", "-O1.3.6.1.4.1.27182", "-moOrvane", "/mi7", "10.0.0.5"});
  ASSERT_EQ(parsed.outcome, alertcast::ParseOutcome::run);
  const alertcast::Settings& settings = parsed.settings;
  ASSERT_EQ(settings.bindingCount, 3);
  EXPECT_EQ(settings.slots[0].oidText, "1.3.6.1.2.1.2.2.1.1.3");
  EXPECT_EQ(settings.slots[0].typeLetter, 'i');
  EXPECT_EQ(settings.slots[0].valueText, "3");
  EXPECT_EQ(settings.slots[1].oidText, "1.3.6.1.4.1.27182");
  EXPECT_EQ(settings.slots[1].valueText, "Orvane");
  // -m twice without -o between: the second binding has no OID.
  EXPECT_EQ(settings.slots[2].oidText, "");
  EXPECT_EQ(settings.slots[2].valueText, "7");
}

TEST(TrapSettings, TakesTheTrapFieldsAndAManagerPort) {
  Parsed parsed = parse({"-g2", "-s5", "-t2000", "-a10.1.2.3", "-e1.3.6.1.4.1.27182", "-corvane", "-p", "-v",
                         "127.0.0.1:16262"});
  ASSERT_EQ(parsed.outcome, alertcast::ParseOutcome::run);
  EXPECT_EQ(parsed.settings.genericTrap, 2);
  EXPECT_EQ(parsed.settings.specificTrap, 5);
  EXPECT_EQ(parsed.settings.timeStamp, 2000u);
  EXPECT_EQ(parsed.settings.agentAddress, "10.1.2.3");
  EXPECT_EQ(parsed.settings.enterprise, "1.3.6.1.4.1.27182");
  EXPECT_EQ(parsed.settings.community, "orvane");
  EXPECT_TRUE(parsed.settings.printParameters && parsed.settings.printVersion);
  EXPECT_EQ(parsed.settings.managerAddress, "127.0.0.1");
  EXPECT_EQ(parsed.settings.managerPort, 16262);
}

TEST(TrapSettings, NoArgumentsUnknownLettersAndBadManagersAskForTheUsage) {
  EXPECT_EQ(parse({}).outcome, alertcast::ParseOutcome::usage);
  EXPECT_EQ(parse({"-x", "10.0.0.5"}).outcome, alertcast::ParseOutcome::usage);
  for (const char* manager : {"10.0.0", "10.0.0.256", "ten.0.0.1", "10.0.0.1:0", "10.0.0.1:99999", "10.0.0.1:"}) {
    EXPECT_EQ(parse({manager}).outcome, alertcast::ParseOutcome::usage) << manager;
  }
}

TEST(TrapSettings, RefusesNumbersOutOfTheirRangeAndSaysWhich) {
  const std::vector<std::pair<const char*, const char*>> refused = {
      {"-g7", "-g takes a generic trap type from 0 to 6"},
      {"-g-1", "-g takes"},
      {"-gx", "-g takes"},
      {"-s-5", "-s takes a specific trap type from 0 to 2147483647"},
      {"-s2147483648", "-s takes"},
      {"-t4294967296", "-t takes a time stamp from 0 to 4294967295"},
      {"-t", "-t takes"},
  };
  for (const auto& [option, text] : refused) {
    Parsed parsed = parse({option, "10.0.0.5"});
    EXPECT_EQ(parsed.outcome, alertcast::ParseOutcome::refused) << option;
    EXPECT_NE(parsed.refusal.find(text), std::string::npos) << parsed.refusal;
  }
  EXPECT_EQ(parse({"-t4294967295", "-s2147483647", "-g0"}).outcome, alertcast::ParseOutcome::run);
}

TEST(TrapSettings, KeepsAtMostOneHundredBindings) {
  std::vector<const char*> arguments(100, "-mi1");
  Parsed full = parse(arguments);
  EXPECT_EQ(full.outcome, alertcast::ParseOutcome::run);
  EXPECT_EQ(full.settings.bindingCount, 100);
  arguments.push_back("-o1.2");
  arguments.push_back("-mi2");
  Parsed over = parse(arguments);
  EXPECT_EQ(over.outcome, alertcast::ParseOutcome::refused);
  EXPECT_NE(over.refusal.find("at most 100 bindings"), std::string::npos);
  EXPECT_EQ(over.settings.bindingCount, 100);
}

}  // namespace
